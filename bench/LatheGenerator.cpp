// The "lathe" style: a turning program, which holds no Y word at all: the
// ZX plane, diameters in X, lengths in Z, roughing passes (a rapid to the
// start, a cut along Z, a retract in X) and finishing contours with radius
// arcs, 3 decimals, block numbers, a comment line at each tool change.
#include "ProgramText.h"

namespace {

// One tool: roughing passes down to a diameter, then a finishing contour.
void WriteTool(CProgramText& text, CBenchRandom& random, int tool)
{
    constexpr int kDecimals = 3;
    constexpr long long kUnit = 1000;
    text.Text("(TOOL ");
    text.Code('T', tool);
    text.Text(")");
    text.EndLine();
    text.Block();
    text.Code('T', tool * 101, 4);
    text.Code('M', 6);
    text.EndLine();
    const long long stock = random.Range(40, 120) * kUnit;
    const long long length = random.Range(20, 150) * kUnit;
    const long long depth = random.Range(5, 20) * kUnit / 10;  // per pass, in diameter
    long long x = stock;
    const int passes = static_cast<int>(random.Range(20, 200));
    for (int i = 0; i < passes && !text.Full() && x > 2 * depth; ++i) {
        x -= depth;
        const long long z = -random.Range(length / 2, length);
        text.Block();
        text.Code('G', 0);
        text.Decimal('X', x, kDecimals);
        text.Decimal('Z', 2 * kUnit, kDecimals);
        text.EndLine();
        text.Block();
        text.Code('G', 1);
        text.Decimal('Z', z, kDecimals);
        if (i == 0)
            text.Code('F', random.Range(100, 400));
        text.EndLine();
        text.Block();
        text.Code('G', 1);
        text.Decimal('X', x + depth, kDecimals);
        text.Decimal('Z', z - depth / 2, kDecimals);
        text.EndLine();
    }
    // The finishing contour: shoulders and radius arcs from the face back.
    long long z = 0;
    x = random.Range(10, 20) * kUnit;
    const int steps = static_cast<int>(random.Range(20, 200));
    for (int i = 0; i < steps && !text.Full() && x < stock; ++i) {
        text.Block();
        if (random.Chance(25)) {
            const long long r = random.Range(1, 10) * kUnit;
            x += r;
            z -= r;
            text.Code('G', random.Chance(50) ? 2 : 3);
            text.Decimal('X', x, kDecimals);
            text.Decimal('Z', z, kDecimals);
            text.Decimal('R', r, kDecimals);
        } else {
            text.Code('G', 1);
            if (random.Chance(50)) {
                z -= random.Range(1, 10 * kUnit);
                text.Decimal('Z', z, kDecimals);
            } else {
                x += random.Range(1, 2 * kUnit);
                text.Decimal('X', x, kDecimals);
            }
        }
        text.EndLine();
    }
    text.Block();
    text.Code('G', 0);
    text.Decimal('X', stock + 10 * kUnit, kDecimals);
    text.Decimal('Z', 50 * kUnit, kDecimals);
    text.EndLine();
}

}  // namespace

void WriteLatheProgram(CProgramText& text, CBenchRandom& random)
{
    text.Text("%");
    text.EndLine();
    text.Text("O2001");
    text.EndLine();
    text.Text("G18 G21 G40 G80 G90 G95");
    text.EndLine();
    for (int tool = 1; !text.Full(); tool = tool % 12 + 1)
        WriteTool(text, random, tool);
    text.Text("M30");
    text.EndLine();
    text.Text("%");
    text.EndLine();
}
