// The toolpath picture as an SVG 1.1 file.
#pragma once

#include "SafeOutput.h"

#include <string>

class CToolpathPicture;
struct PictureLegend;

// The picture as SVG text.
std::string SvgPictureText(const CToolpathPicture& picture, const PictureLegend& legend);

// Writes the picture to `path` (the platform's narrow encoding): whole, or
// not at all (an existing file then keeps its bytes). False when it cannot
// be written.
bool WriteSvgPicture(const char* path, const CToolpathPicture& picture, const PictureLegend& legend,
                     const SafeOutputOptions& options = SafeOutputOptions());

// `utf8` as XML character data: markup characters escaped, and every byte
// that is not part of valid UTF-8 (or is a control character) as '?'.
void AppendXmlText(std::string& out, const std::string& utf8);
