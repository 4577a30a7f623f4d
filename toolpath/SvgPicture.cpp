#include "SvgPicture.h"

#include "PictureDrawing.h"
#include "SafeOutput.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// CSS class of each pen.
const char* ClassOf(Pen pen)
{
    switch (pen) {
    case Pen::SourceFeed: return "sf";
    case Pen::SourceRapid: return "sr";
    case Pen::MirrorFeed: return "mf";
    case Pen::MirrorRapid: return "mr";
    case Pen::SourceHole: return "sh";
    case Pen::MirrorHole: return "mh";
    case Pen::MirrorAxis: return "ax";
    case Pen::MirrorCentre: return "ac";
    case Pen::Frame: return "fr";
    case Pen::Text: return "tx";
    case Pen::SourceMark: return "ks";
    case Pen::MirrorMark: return "km";
    case Pen::Banner: return "kr";
    case Pen::BannerText: return "kw";
    }
    return "fr";
}

// The pens that fill: arrows, marks and texts of a colour of their own.
constexpr Pen kFillPens[] = {Pen::SourceMark, Pen::MirrorMark, Pen::Banner, Pen::BannerText};

void AppendColour(std::string& out, unsigned rgb)
{
    static const char kHex[] = "0123456789abcdef";
    out += '#';
    for (int shift = 20; shift >= 0; shift -= 4)
        out += kHex[(rgb >> shift) & 0xF];
}

// Pixel coordinates lie in the picture; a number beyond these was not
// meant to be drawn and is held to them, so that it always prints.
constexpr double kFarthestPixel = 1e9;

// A pixel coordinate with one decimal, without a trailing ".0".
void AppendNumber(std::string& out, double value)
{
    char buf[32];
    if (!std::isfinite(value))
        value = 0;
    value = std::clamp(value, -kFarthestPixel, kFarthestPixel);
    const double rounded = std::round(value * 10) / 10;
    const auto r = std::to_chars(buf, buf + sizeof buf, rounded == 0 ? 0.0 : rounded, std::chars_format::fixed, 1);
    if (r.ec != std::errc()) {
        out += '0';
        return;
    }
    std::size_t n = static_cast<std::size_t>(r.ptr - buf);
    if (n >= 2 && buf[n - 2] == '.' && buf[n - 1] == '0')
        n -= 2;
    out.append(buf, n);
}

void AppendStyleSheet(std::string& out)
{
    out += "<style type=\"text/css\"><![CDATA[\n";
    for (const Pen pen : {Pen::SourceFeed, Pen::SourceRapid, Pen::MirrorFeed, Pen::MirrorRapid, Pen::SourceHole,
                          Pen::MirrorHole, Pen::MirrorAxis, Pen::MirrorCentre, Pen::Frame}) {
        const PenStyle style = PenStyleOf(pen);
        out += '.';
        out += ClassOf(pen);
        out += "{fill:none;stroke:";
        AppendColour(out, style.rgb);
        out += ";stroke-width:";
        AppendNumber(out, style.width);
        out += ";stroke-linejoin:round;stroke-linecap:round";
        if (style.dashed)
            out += ";stroke-dasharray:6,4";
        if (style.dashDot)
            out += ";stroke-dasharray:12,3,2,3";
        out += "}\n";
    }
    for (const Pen pen : kFillPens) {
        out += '.';
        out += ClassOf(pen);
        out += "{stroke:none;fill:";
        AppendColour(out, PenStyleOf(pen).rgb);
        out += "}\n";
    }
    // Arrows are markers at the end of a short stroke that is not drawn.
    out += ".aw{fill:none;stroke:none}\n";
    out += "text{font-family:sans-serif;font-size:13px;fill:";
    AppendColour(out, PenStyleOf(Pen::Text).rgb);
    out += "}\n.b{font-weight:bold}\n]]></style>\n<defs>\n";
    for (const Pen pen : {Pen::SourceMark, Pen::MirrorMark}) {
        out += "<marker id=\"a";
        out += ClassOf(pen);
        out += "\" markerUnits=\"userSpaceOnUse\" orient=\"auto\" markerWidth=\"";
        AppendNumber(out, kArrowLength);
        out += "\" markerHeight=\"";
        AppendNumber(out, 2 * kArrowHalfWidth);
        out += "\" refX=\"";
        AppendNumber(out, kArrowLength);
        out += "\" refY=\"";
        AppendNumber(out, kArrowHalfWidth);
        out += "\"><path class=\"";
        out += ClassOf(pen);
        out += "\" d=\"M0 0L";
        AppendNumber(out, kArrowLength);
        out += ' ';
        AppendNumber(out, kArrowHalfWidth);
        out += "L0 ";
        AppendNumber(out, 2 * kArrowHalfWidth);
        out += "z\"/></marker>\n";
    }
    out += "</defs>\n";
}

class CSvgCanvas final : public CPictureCanvas {
public:
    explicit CSvgCanvas(std::string& out) : m_out(out) {}

    void BeginPath(Pen pen) override
    {
        m_out += "<path class=\"";
        m_out += ClassOf(pen);
        m_out += "\" d=\"";
    }
    void MoveTo(double x, double y) override { Point('M', x, y); }
    void LineTo(double x, double y) override { Point('L', x, y); }
    void ArcTo(double x, double y, double, double, double r, bool clockwise, bool large) override
    {
        m_out += 'A';
        AppendNumber(m_out, r);
        m_out += ' ';
        AppendNumber(m_out, r);
        m_out += large ? " 0 1 " : " 0 0 ";
        m_out += clockwise ? "1 " : "0 ";
        AppendNumber(m_out, x);
        m_out += ' ';
        AppendNumber(m_out, y);
    }
    void EndPath() override { m_out += "\"/>\n"; }

    // A disc and a ring differ by their pen's class only.
    void Circle(Pen pen, double cx, double cy, double r) override
    {
        Start("circle", pen);
        Attribute("cx", cx);
        Attribute("cy", cy);
        Attribute("r", r);
        m_out += "/>\n";
    }
    void Disc(Pen pen, double cx, double cy, double r) override { Circle(pen, cx, cy, r); }

    void Box(Pen pen, double left, double top, double right, double bottom) override
    {
        Start("rect", pen);
        Attribute("x", left);
        Attribute("y", top);
        Attribute("width", std::max(0.0, right - left));
        Attribute("height", std::max(0.0, bottom - top));
        m_out += "/>\n";
    }

    void Arrow(Pen pen, double x, double y, double dx, double dy) override
    {
        m_out += "<path class=\"aw\" marker-end=\"url(#a";
        m_out += ClassOf(pen);
        m_out += ")\" d=\"";
        Point('M', x - dx * kArrowLength, y - dy * kArrowLength);
        Point('L', x, y);
        m_out += "\"/>\n";
    }

    // A file's view is fitted: nothing it draws reaches beyond its area.
    void Clip(double, double, double, double) override {}
    void Unclip() override {}

    void Text(Pen pen, double x, double y, const std::string& utf8, TextAnchor anchor, bool bold) override
    {
        m_out += "<text x=\"";
        AppendNumber(m_out, x);
        m_out += "\" y=\"";
        AppendNumber(m_out, y);
        m_out += '"';
        if (anchor != TextAnchor::Start)
            m_out += anchor == TextAnchor::Middle ? " text-anchor=\"middle\"" : " text-anchor=\"end\"";
        const bool coloured = pen != Pen::Text;
        if (bold || coloured) {
            m_out += " class=\"";
            m_out += coloured ? ClassOf(pen) : "";
            m_out += bold && coloured ? " b" : bold ? "b" : "";
            m_out += '"';
        }
        m_out += '>';
        AppendXmlText(m_out, utf8);
        m_out += "</text>\n";
    }

private:
    // '<name class="pen"', the element's attributes to follow.
    void Start(const char* name, Pen pen)
    {
        m_out += '<';
        m_out += name;
        m_out += " class=\"";
        m_out += ClassOf(pen);
        m_out += '"';
    }
    // ' name="value"'.
    void Attribute(const char* name, double value)
    {
        m_out += ' ';
        m_out += name;
        m_out += "=\"";
        AppendNumber(m_out, value);
        m_out += '"';
    }
    void Point(char command, double x, double y)
    {
        m_out += command;
        AppendNumber(m_out, x);
        m_out += ' ';
        AppendNumber(m_out, y);
    }

    std::string& m_out;
};

// Length of the valid UTF-8 sequence at `p` (before `end`), 0 when there is none.
std::size_t Utf8Length(const unsigned char* p, const unsigned char* end)
{
    const unsigned c = p[0];
    std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || static_cast<std::size_t>(end - p) < n)
        return 0;
    unsigned code = n == 1 ? c : c & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (p[i] & 0x3F);
    }
    static const unsigned kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kMin[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF)
        return 0;
    return n;
}

}  // namespace

void AppendXmlText(std::string& out, const std::string& utf8)
{
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    while (p < end) {
        const std::size_t n = Utf8Length(p, end);
        if (n == 0 || (*p < 0x20 && *p != '\t' && *p != '\n') || *p == 0x7F) {
            out += '?';
            p += n == 0 ? 1 : n;
            continue;
        }
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out.append(reinterpret_cast<const char*>(p), n); break;
        }
        p += n;
    }
}

std::string SvgPictureText(const CToolpathPicture& picture, const PictureLegend& legend)
{
    int width = 0, height = 0;
    PictureFileSize(picture, legend, width, height);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + std::to_string(width) +
           "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) + " " +
           std::to_string(height) + "\">\n<title>";
    AppendXmlText(out, legend.sourceName);
    out += "</title>\n";
    AppendStyleSheet(out);
    out += "<rect width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
           "\" fill=\"#ffffff\"/>\n";
    CSvgCanvas canvas(out);
    DrawPicture(picture, legend, LayOutPicture(picture, legend, width, height), canvas);
    out += "</svg>\n";
    return out;
}

bool WriteSvgPicture(const char* path, const CToolpathPicture& picture, const PictureLegend& legend,
                     const SafeOutputOptions& options)
{
    const std::string text = SvgPictureText(picture, legend);
    SafeOutput output;
    return output.Open(path, options) && output.Write(text.data(), text.size()) && output.Commit();
}
