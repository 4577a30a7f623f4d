#include "ToolpathTexts.h"

#include "MirrorModes.h"
#include "NumberText.h"
#include "ToolMove.h"

#include <algorithm>
#include <cmath>

const char* const kRapidLegend = "ускоренный ход (G00), переход между отверстиями";
const char* const kFeedLegend = "рабочая подача (G01-G03), стрелка - направление";
const char* const kHoleLegend = "отверстие (G81-G89), номер по порядку";
const char* const kAxisLegend = "ось (центр) отражения";
const char* const kStartLegend = "начало";
const char* const kEndLegend = "конец";
const char* const kOverlapLegend =
    "Исходная траектория - широкая светлая линия под отражённой: где они совпадают, видны обе";
const char* const kProgramUnitsLegend =
    "Числа на осях - в единицах программы (фиксированный формат, без десятичной точки)";

const char* MirrorModeWords(const MirrorMode& mode)
{
    if (mode.negatesX && mode.negatesY)
        return "относительно начала координат O (x=0, y=0)";
    return mode.negatesY ? "относительно оси Ox (y=0)" : "относительно оси Oy (x=0)";
}

const char* MirrorAxisLabel(const MirrorMode& mode)
{
    if (mode.negatesX && mode.negatesY)
        return "центр отражения O (x=0, y=0)";
    return mode.negatesY ? "ось отражения Ox (y=0)" : "ось отражения Oy (x=0)";
}

namespace {

// The position's words: "x=40", "y=10.5", "x=40, y=10.5"; empty for the axes.
std::string PositionWords(const MirrorMode& mode, const std::string& atX, const std::string& atY)
{
    auto given = [](const std::string& text) { return text.find_first_not_of("+-0.") != std::string::npos; };
    const bool x = mode.negatesX && given(atX), y = mode.negatesY && given(atY);
    if (!x && !y)
        return std::string();
    if (mode.negatesX && mode.negatesY)
        return "x=" + (x ? atX : std::string("0")) + ", y=" + (y ? atY : std::string("0"));
    return x ? "x=" + atX : "y=" + atY;
}

}  // namespace

std::string MirrorModeWords(const MirrorMode& mode, const std::string& atX, const std::string& atY)
{
    const std::string position = PositionWords(mode, atX, atY);
    if (position.empty())
        return MirrorModeWords(mode);
    return mode.negatesX && mode.negatesY ? "относительно точки (" + position + ")"
                                          : "относительно линии " + position;
}

std::string MirrorAxisLabel(const MirrorMode& mode, const std::string& atX, const std::string& atY)
{
    const std::string position = PositionWords(mode, atX, atY);
    if (position.empty())
        return MirrorAxisLabel(mode);
    return mode.negatesX && mode.negatesY ? "центр отражения (" + position + ")" : "ось отражения " + position;
}

std::string SourceLegend(const std::string& name) { return "Исходная программа: " + name; }

std::string MirrorLegend(const std::string& name, const MirrorMode& mode, const std::string& atX,
                         const std::string& atY)
{
    return "Отражённая программа: " + name + ", " + MirrorModeWords(mode, atX, atY);
}

std::string UnreadLegend(bool mirror, long long count, long long firstLine)
{
    return std::string(mirror ? "В отражённой" : "В исходной") + " программе не прочитано строк: " +
           std::to_string(count) + " (первая - " + std::to_string(firstLine) +
           "; переменные, выражения, недопустимые числа), их на рисунке нет";
}

std::string UnreadKindsText(unsigned kinds)
{
    static const struct {
        unsigned kind;
        const char* text;
    } kKinds[] = {
        {kUnreadVariable, "переменные"},          {kUnreadExpression, "выражения"},
        {kUnreadRepeated, "повторный адрес"},     {kUnreadLowercase, "строчные буквы"},
        {kUnreadPolar, "полярные координаты"},    {kUnreadOther, "непонятные символы или адрес без числа"},
    };
    std::string text;
    for (const auto& k : kKinds)
        if (kinds & k.kind)
            text += (text.empty() ? "" : ", ") + std::string(k.text);
    return text;
}

std::string FormatUnreadNote(const std::string& file, long long firstLine, long long count, unsigned kinds)
{
    return file + ":" + std::to_string(firstLine) + ": примечание: траектория не сравнивалась в строках, " +
           "которые не прочитаны (" + UnreadKindsText(kinds) + "): " + std::to_string(count) + ", первая здесь";
}

std::string NotProvedText(long long unread, long long lines, unsigned kinds)
{
    return "из " + std::to_string(lines) + " строк с адресами X, Y, I, J не прочитано " + std::to_string(unread) +
           " (" + UnreadKindsText(kinds) + "), первая здесь";
}

std::string PreviewProgressText(int percent)
{
    return "Чтение программы для просмотра... " + std::to_string(percent) + " %   (Esc - прервать)";
}

std::string FormatPictureWritten(const std::string& file) { return "Рисунок:= " + file + " записан на диск"; }

std::string BannerText(bool mirror, long long unread, long long lines)
{
    // "из 21 строки", "из 20 строк"; "1 ... не прочитана", "2 ... не прочитаны".
    const auto one = [](long long n) { return n % 10 == 1 && n % 100 != 11; };
    return std::string(mirror ? "отражённая " : "") + "траектория прочитана не полностью: " + std::to_string(unread) +
           " из " + std::to_string(lines) + (one(lines) ? " строки" : " строк") +
           (one(unread) ? " не прочитана" : " не прочитаны");
}

std::string WorkOffsetName(int offset, int number)
{
    if (offset == 541)
        return number > 0 ? "G54.1 P" + std::to_string(number) : "G54.1";
    return "G" + std::to_string(offset);
}

std::string OffsetLegend(const std::string& names)
{
    return "Системы координат: " + names + " (имя - у первого хода после смены)";
}

std::string PreviewStatusText(bool inside, double x, double y, double scale)
{
    std::string text;
    if (inside && std::isfinite(x) && std::isfinite(y) && scale > 0) {
        // As many decimals as a pixel tells.
        const int decimals = std::clamp(static_cast<int>(std::ceil(std::log10(scale))), 0, 6);
        text = "  X ";
        AppendFixed(text, x, decimals);
        text += "   Y ";
        AppendFixed(text, y, decimals);
        text += "      ";
    } else {
        text = "  ";
    }
    return text + "колесо мыши - масштаб, перетаскивание - сдвиг, Home - весь рисунок";
}
