// Random NC-like lines for comparing two builds of the engine byte for byte:
// odd numbers (many digits, stray signs and points, negative zero, blanks
// inside values), comments and skip characters, '\r' line ends, long lines,
// lines without an end, bytes above 127 and NUL. The fixed-width variant
// keeps every first X/Y/Z/I/J/K word at a sign and six digits and has no
// '.', so the whole file still scans as fixed width.
#include "ProgramText.h"

namespace {

const char kLetters[] = "GGGXXXYYYZZIIJJKKNFMSTDHRPQ";
const char kOther[] = "();$%=,#/*:\tabcxyzgO";
const char* const kSpecialValues[] = {"0", "-0", "+0", "0.", "-0.", "-0.0", ".5", "5.", "2.0", "02", "2",
                                      "3", "03", "41", "42", "43", "40", "-0.0000", "+12.5", "1.00005",
                                      "999999.9999", "0.0005", "0.00049", "-.", "+-1", "1-2", "1..2"};
// G numbers a fixed-width line may carry (the swaps look at them).
const char* const kFixedCodes[] = {"00", "01", "02", "03", "2", "3", "17", "40", "41", "42", "43", "90", "081"};

char Digit(CBenchRandom& random) { return static_cast<char>('0' + random.Range(0, 9)); }

void Digits(CProgramText& text, CBenchRandom& random, long long count)
{
    for (long long i = 0; i < count; ++i)
        text.Char(Digit(random));
}

// A value text of the free style: signs, digits, points and blanks.
void FreeValue(CProgramText& text, CBenchRandom& random)
{
    const long long kind = random.Range(0, 99);
    if (kind < 20) {
        text.Text(kSpecialValues[random.Range(0, sizeof kSpecialValues / sizeof kSpecialValues[0] - 1)]);
    } else if (kind < 85) {
        if (random.Chance(10))
            text.Char(' ');
        if (random.Chance(40))
            text.Char(random.Chance(50) ? '-' : '+');
        Digits(text, random, random.Range(0, 4));
        if (random.Chance(70)) {
            text.Char('.');
            Digits(text, random, random.Range(0, 6));
        }
    } else if (kind < 95) {
        Digits(text, random, random.Range(5, 40));  // longer than any float prints exactly
        if (random.Chance(50)) {
            text.Char('.');
            Digits(text, random, random.Range(0, 12));
        }
    } else {
        for (long long i = random.Range(1, 12); i > 0; --i)
            text.Char(" +-.0123456789"[random.Range(0, 13)]);
    }
    for (long long i = random.Range(-6, 3); i > 0; --i)
        text.Char(' ');
}

void FreeLine(CProgramText& text, CBenchRandom& random)
{
    const long long words = random.Chance(3) ? random.Range(20, 120) : random.Range(0, 10);
    for (long long w = 0; w < words; ++w) {
        const long long kind = random.Range(0, 99);
        if (kind < 85) {
            text.Char(kLetters[random.Range(0, sizeof kLetters - 2)]);
            if (random.Chance(95))
                FreeValue(text, random);
        } else if (kind < 97) {
            text.Char(kOther[random.Range(0, sizeof kOther - 2)]);
        } else if (kind < 99) {
            text.Char(static_cast<char>(random.Range(128, 255)));
        } else {
            text.Char(random.Chance(5) ? '\0' : '\r');
        }
    }
}

void FixedLine(CProgramText& text, CBenchRandom& random)
{
    const long long words = random.Chance(3) ? random.Range(20, 60) : random.Range(0, 10);
    bool afterCoordinate = false;  // a coordinate must be followed by a letter or the line end
    for (long long w = 0; w < words; ++w) {
        const long long kind = random.Range(0, 99);
        if (kind < 50) {
            text.Char("XYZIJK"[random.Range(0, 5)]);
            text.Char(random.Chance(50) ? '-' : '+');
            if (random.Chance(10))
                text.Text("000000");
            else
                Digits(text, random, 6);
            afterCoordinate = true;
            continue;
        }
        if (!afterCoordinate && random.Chance(20))
            text.Char(' ');
        if (kind < 75) {
            text.Char('G');
            text.Text(kFixedCodes[random.Range(0, sizeof kFixedCodes / sizeof kFixedCodes[0] - 1)]);
        } else if (kind < 95) {
            text.Char("NFMSTDHR"[random.Range(0, 7)]);
            Digits(text, random, random.Range(1, 5));
        } else {
            text.Text(random.Chance(50) ? "(T01 BALL MILL D10)" : ";");
        }
        afterCoordinate = false;
    }
}

}  // namespace

void WriteNoise(CProgramText& text, CBenchRandom& random, bool fixedWidth)
{
    while (!text.Full() && !text.Failed()) {
        if (fixedWidth)
            FixedLine(text, random);
        else
            FreeLine(text, random);
        const long long end = random.Range(0, 99);
        if (!fixedWidth && end < 5)
            text.Text(random.Chance(50) ? "   \n" : " \r\n");
        else if (end < 20)
            text.Text("\r\n");
        else
            text.Char('\n');
        text.EndLine(false);
    }
    // Half the files end with a line that has no line end.
    if (random.Chance(50)) {
        if (fixedWidth)
            FixedLine(text, random);
        else
            FreeLine(text, random);
        text.EndLine(false);
    }
}
