// What the Windows test driver learns from its environment (set by CTest):
// NCM_APP the dialog application, NCM_SHOTS the folder for screenshots,
// NCM_IMPORT ImageMagick's screen grabber. Linux paths are accepted; Wine
// maps them through drive Z:.
#pragma once

#include <string>

std::wstring EnvText(const wchar_t* name);

// "/a/b" -> "Z:\a\b"; anything else unchanged.
std::wstring ToWindowsPath(const std::wstring& path);

std::wstring AppPath();

// Saves the whole virtual screen as `name`.png in the screenshot folder;
// false when the grabber is not configured or failed.
bool SaveScreenshot(const std::wstring& name);
