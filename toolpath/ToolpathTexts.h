// The words of the toolpath picture and of the proof, shared by the SVG file,
// the dialog's preview and ncmirror. Texts are UTF-8.
#pragma once

#include <string>

struct MirrorMode;

// "относительно оси Oy (x=0)": how the mode reflects.
const char* MirrorModeWords(const MirrorMode& mode);
// The same about a position (decimal text; empty: the axis): "относительно
// линии x=40".
std::string MirrorModeWords(const MirrorMode& mode, const std::string& atX, const std::string& atY);
// The name drawn beside the mirror's axis or centre.
const char* MirrorAxisLabel(const MirrorMode& mode);
std::string MirrorAxisLabel(const MirrorMode& mode, const std::string& atX, const std::string& atY);

std::string SourceLegend(const std::string& name);
std::string MirrorLegend(const std::string& name, const MirrorMode& mode, const std::string& atX = std::string(),
                         const std::string& atY = std::string());
// Lines a reader could not read, which the picture lacks.
std::string UnreadLegend(bool mirror, long long count, long long firstLine);

// The note on lines the proof left out, in the compilers' form:
// "FILE:LINE: примечание: ...".
std::string FormatUnreadNote(const std::string& file, long long firstLine, long long count, unsigned kinds);
// The kinds of lines not read (kUnread... bits), for messages.
std::string UnreadKindsText(unsigned kinds);
// The words of a not-proved finding: how many of the lines with X, Y, I or
// J were not read, and why.
std::string NotProvedText(long long unread, long long lines, unsigned kinds);
// The preview's progress while it reads a program: "... 42 % (Esc - прервать)".
std::string PreviewProgressText(int percent);
// The preview's status line: the program coordinates under the cursor (to
// a pixel at `scale` pixels per unit), and how to zoom, move and fit.
std::string PreviewStatusText(bool inside, double x, double y, double scale);
// ncmirror's line for a picture written: "Рисунок:= FILE записан на диск".
std::string FormatPictureWritten(const std::string& file);

// The band over a picture that lacks much of its path: "траектория
// прочитана не полностью: N из M строк не прочитаны".
std::string BannerText(bool mirror, long long unread, long long lines);
// A work offset's name: "G55", "G54.1 P3".
std::string WorkOffsetName(int offset, int number);
// The legend's row of the work offsets the paths select.
std::string OffsetLegend(const std::string& names);

extern const char* const kRapidLegend;
extern const char* const kFeedLegend;
extern const char* const kHoleLegend;
extern const char* const kAxisLegend;
extern const char* const kStartLegend;
extern const char* const kEndLegend;
extern const char* const kOverlapLegend;
extern const char* const kProgramUnitsLegend;
