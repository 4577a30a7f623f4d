// The "cam" style: what CAM post-processors write for surfacing and
// contouring: the motion code repeated on almost every line, straight
// moves in X, Y and Z, arcs with I and J, 3 to 6 decimals (one precision per
// program section), block numbers on some sections, comments on their own
// lines.
#include "ProgramText.h"

namespace {

// One section: a tool's pass over the part, in one number precision.
void WriteSection(CProgramText& text, CBenchRandom& random, int section)
{
    const int decimals = static_cast<int>(random.Range(3, 6));
    const bool numbered = random.Chance(30);
    long long unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    auto start = [&] {
        if (numbered)
            text.Block();
    };
    text.Text("(PASS ");
    text.Code('P', section);
    text.Text(")");
    text.EndLine();
    start();
    text.Code('G', 0);
    text.Decimal('X', random.Range(-100, 100) * unit, decimals);
    text.Decimal('Y', random.Range(-100, 100) * unit, decimals);
    text.Decimal('Z', 5 * unit, decimals);
    text.EndLine();
    long long x = 0, y = 0, z = -random.Range(1, 20) * unit / 10;
    const int lines = static_cast<int>(random.Range(200, 2000));
    for (int i = 0; i < lines && !text.Full(); ++i) {
        start();
        if (random.Chance(8)) {
            // An arc of the contour, its centre relative to its start.
            text.Code('G', random.Chance(50) ? 2 : 3);
            const long long dx = random.Range(-5 * unit, 5 * unit), dy = random.Range(-5 * unit, 5 * unit);
            x += dx;
            y += dy;
            text.Decimal('X', x, decimals);
            text.Decimal('Y', y, decimals);
            text.Decimal('I', dx / 2 - dy / 3, decimals);
            text.Decimal('J', dy / 2 + dx / 3, decimals);
        } else {
            text.Code('G', 1);
            x += random.Range(-unit, unit);
            text.Decimal('X', x, decimals);
            if (random.Chance(70)) {
                y += random.Range(-unit, unit);
                text.Decimal('Y', y, decimals);
            }
            if (random.Chance(80)) {
                z += random.Range(-unit / 10, unit / 10);
                text.Decimal('Z', z, decimals);
            }
        }
        if (i == 0)
            text.Code('F', random.Range(300, 3000));
        text.EndLine();
    }
    start();
    text.Code('G', 0);
    text.Decimal('Z', 5 * unit, decimals);
    text.EndLine();
}

}  // namespace

void WriteCamOutput(CProgramText& text, CBenchRandom& random)
{
    text.Text("%");
    text.EndLine();
    text.Text("G90 G17 G54");
    text.EndLine();
    for (int section = 1; !text.Full(); ++section)
        WriteSection(text, random, section);
    text.Text("M30");
    text.EndLine();
    text.Text("%");
    text.EndLine();
}
