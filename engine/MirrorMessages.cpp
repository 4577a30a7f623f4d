#include "MirrorMessages.h"

#include <string>

namespace {

struct MessageEntry {
    MirrorMessage message;
    MirrorMessageStyle style;
    const char* text;  // %s and %d stand for the values, in the order of FormatMirrorMessage's arguments
};

const MessageEntry kMessages[] = {
    {MirrorMessage::NoModeChosen, {false, 0x30}, "Выберите соответствующее отображение"},
    {MirrorMessage::SourceNotFound, {false, 0x10},
     "Файл Данных:=\n %s \n\t не найден !\n преобразование прервано...."},
    {MirrorMessage::OutputExists, {false, 0x24},
     "Файл:=\n %s \n\t уже существует! \n Перезаписать существующий ?"},
    {MirrorMessage::BadParameters, {true, 0x10}, "Проверьте передаваемые параметры:\n %s \n %s \n %d"},
    {MirrorMessage::CannotWrite, {true, 0x10},
     "Невозможно записать файл:\n %s \n Проверьте права доступа или ошибка системы"},
    {MirrorMessage::CannotRead, {true, 0x10}, "Невозможно открыть файл:\n %s \n на 'чтение' \n"},
    {MirrorMessage::Written, {false, 0x40},
     "Файл:=\n %s \n\t записан на диск \n Преобразование завершено...\n Число преобразованных адресов =%d"},
};

const MessageEntry& EntryOf(MirrorMessage message)
{
    for (const MessageEntry& e : kMessages)
        if (e.message == message)
            return e;
    return kMessages[0];
}

// The texts a message's %s place-holders take, in order.
void PathArguments(MirrorMessage message, const std::string& source, const std::string& output,
                   const std::string* args[2])
{
    args[0] = args[1] = nullptr;
    switch (message) {
    case MirrorMessage::SourceNotFound:
    case MirrorMessage::CannotRead: args[0] = &source; break;
    case MirrorMessage::OutputExists:
    case MirrorMessage::CannotWrite:
    case MirrorMessage::Written: args[0] = &output; break;
    case MirrorMessage::BadParameters: args[0] = &source; args[1] = &output; break;
    case MirrorMessage::NoModeChosen: break;
    }
}

}  // namespace

MirrorMessageStyle MirrorMessageStyleOf(MirrorMessage message) { return EntryOf(message).style; }

std::string FormatMirrorMessage(MirrorMessage message, const std::string& source,
                                const std::string& output, long long number)
{
    const std::string* args[2];
    PathArguments(message, source, output, args);
    std::string text;
    int nextArg = 0;
    for (const char* p = EntryOf(message).text; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (nextArg < 2 && args[nextArg])
                text += *args[nextArg];
            ++nextArg;
            ++p;
        } else if (p[0] == '%' && p[1] == 'd') {
            text += std::to_string(number);
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

MirrorMessage MirrorMessageForResult(long long result)
{
    if (result >= 0)
        return MirrorMessage::Written;
    if (result == -1)
        return MirrorMessage::CannotRead;
    if (result == -2)
        return MirrorMessage::CannotWrite;
    return MirrorMessage::BadParameters;
}

std::string FormatMirrorMessageLine(MirrorMessage message, const std::string& source,
                                    const std::string& output, long long number)
{
    const std::string* args[2];
    PathArguments(message, source, output, args);
    std::string text;
    bool pendingBlank = false;
    auto put = [&](const std::string& piece) {
        if (piece.empty())
            return;
        if (pendingBlank && !text.empty())
            text += ' ';
        pendingBlank = false;
        text += piece;
    };
    int nextArg = 0;
    for (const char* p = EntryOf(message).text; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (nextArg < 2 && args[nextArg])
                put(*args[nextArg]);
            ++nextArg;
            ++p;
        } else if (p[0] == '%' && p[1] == 'd') {
            put(std::to_string(number));
            ++p;
        } else if (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') {
            pendingBlank = true;
        } else {
            put(std::string(1, *p));
        }
    }
    return text;
}
