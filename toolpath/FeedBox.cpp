#include "FeedBox.h"

#include "FormatMarks.h"
#include "LineReader.h"
#include "ToolpathReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMostDecimals = 4;

// The decimals of a word whose tolerance is half a unit of its last one.
int DecimalsOf(double tolerance)
{
    if (!(tolerance > 0))
        return 0;
    return std::clamp(static_cast<int>(std::lround(std::log10(0.5 / tolerance))), 0, kMostDecimals);
}

// The angle `to` lies at from `from` in the arc's direction, in [0, 2 pi).
double TurnFrom(double from, double to, bool clockwise)
{
    double d = std::fmod(clockwise ? from - to : to - from, 2 * kPi);
    return d < 0 ? d + 2 * kPi : d;
}

// An arc in the XY plane: its end points and the points of its circle at
// the quarter turns it passes.
void AddArc(FeedBox& box, const ToolMove& move)
{
    double cx = move.centre[0], cy = move.centre[1];
    const double x0 = move.start[0], y0 = move.start[1], x1 = move.end[0], y1 = move.end[1];
    const bool clockwise = move.kind == MoveKind::ArcCw;
    if (move.hasRadius) {
        // The centre on the side that R's sign and the direction give.
        const double dx = x1 - x0, dy = y1 - y0, chord = std::hypot(dx, dy);
        if (chord == 0)
            return;
        const double r = std::max(std::fabs(move.radius), chord / 2);
        const double h = std::sqrt(std::max(0.0, r * r - chord * chord / 4));
        const double side = (clockwise ? 1.0 : -1.0) * (move.radius < 0 ? -1.0 : 1.0);
        cx = (x0 + x1) / 2 + side * h * dy / chord;
        cy = (y0 + y1) / 2 - side * h * dx / chord;
    } else if (!move.hasCentre) {
        return;
    }
    const double r = std::hypot(x0 - cx, y0 - cy);
    const double from = std::atan2(y0 - cy, x0 - cx), to = std::atan2(y1 - cy, x1 - cx);
    double sweep = TurnFrom(from, to, clockwise);
    if (sweep == 0)
        sweep = 2 * kPi;  // a full circle
    for (int quarter = 0; quarter < 4; ++quarter)
        if (TurnFrom(from, quarter * kPi / 2, clockwise) <= sweep)
            box.Add(cx + r * std::cos(quarter * kPi / 2), cy + r * std::sin(quarter * kPi / 2));
}

}  // namespace

void FeedBox::Add(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    if (empty) {
        minX = maxX = x;
        minY = maxY = y;
        empty = false;
        return;
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
}

bool ReadFeedBox(const char* path, FeedBox& box)
{
    box = FeedBox();
    LineReader reader;
    if (!reader.Open(path))
        return false;
    // The format first: fixed-width arc centres are unsigned.
    bool fixedWidth = true;
    std::string_view line;
    while (fixedWidth && reader.NextLine(line))
        fixedWidth = FreeFormatMarks(line) == 0;
    if (reader.Failed() || !reader.Rewind())
        return false;
    CToolpathReader toolpath;
    toolpath.Begin(fixedWidth);
    while (reader.NextLine(line)) {
        const LineMoves& moves = toolpath.ReadLine(line);
        const ToolMove& move = moves.move;
        const bool feed = move.kind == MoveKind::Feed || move.kind == MoveKind::Hole || move.IsArc();
        if (!moves.moved || !feed || (move.endKnown & (kAxisBitX | kAxisBitY)) != (kAxisBitX | kAxisBitY))
            continue;
        box.decimals = std::max({box.decimals, DecimalsOf(move.tolerance[0]), DecimalsOf(move.tolerance[1])});
        box.Add(move.end[0], move.end[1]);
        if ((move.startKnown & (kAxisBitX | kAxisBitY)) == (kAxisBitX | kAxisBitY) && move.kind != MoveKind::Hole)
            box.Add(move.start[0], move.start[1]);
        if (move.IsArc() && move.plane == 17 && !move.centreGuessed)
            AddArc(box, move);
    }
    return !reader.Failed();
}

std::string MiddleText(double lo, double hi, int decimals)
{
    const double middle = lo / 2 + hi / 2;
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, middle, std::chars_format::fixed, decimals);
    std::string result(text, r.ec == std::errc() ? r.ptr : text);
    if (result.find('.') != std::string::npos) {
        // "40.000" -> "40", "12.50" -> "12.5"; "-0" -> "0".
        while (result.back() == '0')
            result.pop_back();
        if (result.back() == '.')
            result.pop_back();
    }
    if (result == "-0")
        result = "0";
    return result.empty() ? "0" : result;
}
