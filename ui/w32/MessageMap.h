// Message maps: tables that route a dialog's commands and window messages to
// its member functions. A dialog class lists its entries in two static
// arrays and forwards its OnCommand / OnMessage hooks to the lookups below.
#pragma once

#include <windows.h>

#include <cstddef>

template <class T>
struct CommandMapEntry {
    UINT id;                // control or menu command identifier
    UINT code;              // notification: BN_CLICKED (0) for buttons and menus, CBN_SELCHANGE...
    void (T::*handler)();
};

// A message handler returns false to leave the message to the system's
// default handling; when it returns true, `result` is the answer.
template <class T>
struct MessageMapEntry {
    UINT message;
    bool (T::*handler)(WPARAM wParam, LPARAM lParam, LRESULT& result);
};

template <class T, std::size_t N>
bool DispatchMapCommand(T* target, const CommandMapEntry<T> (&map)[N], UINT id, UINT code)
{
    for (const CommandMapEntry<T>& entry : map) {
        if (entry.id == id && entry.code == code) {
            (target->*entry.handler)();
            return true;
        }
    }
    return false;
}

template <class T, std::size_t N>
bool DispatchMapMessage(T* target, const MessageMapEntry<T> (&map)[N], UINT message, WPARAM wParam, LPARAM lParam,
                     LRESULT& result)
{
    for (const MessageMapEntry<T>& entry : map)
        if (entry.message == message)
            return (target->*entry.handler)(wParam, lParam, result);
    return false;
}
