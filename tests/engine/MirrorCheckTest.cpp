// The check of a run: each rule with a finding and a near miss, the bounds of
// what it keeps, and that it changes no byte of the output.
#include "MirrorMessages.h"
#include "NcMirror.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

struct CheckCase {
    const char* program;
    int mode;
    const char* expected;  // "LINE:CODE:WORD" of every finding, joined by ' | '; "" for none
};

const CheckCase kCases[] = {
    // 1. A motion behind a comment stays unmirrored.
    {"G1 X10. Y5. (CUT)\n", 1, "1:comment-motion:Y5."},
    {"G1 X10. Y0. (CUT)\n", 1, ""},
    {"G2 X1. (ARC)\n", 1, "1:comment-motion:G2"},
    {"G18\nG2 X1. (ARC)\n", 1, ""},                 // ZX is not reversed about Ox
    {"G1 Z5. (X10. Y10.)\nG1 X5. ; Y10.\n", 1, ""},  // the words are in the comment
    {"G1 X5. $ Y10.\nG1 Y3. (A\n", 1, "2:comment-motion:Y3."},
    // Machine positions and offset data are left as they are: nothing to say.
    {"G53 X-508. Y0.\nG10 L2 P1 X-100. Y-50.\nG53 X#1 X2.\n", 3, ""},
    // 3. Values the mirror cannot negate; a variable or an expression as the
    //    first word of its letter has its sign toggled.
    {"G1 X#101 Y5.\nG1 X1. Y[#1+2.]\n", 2, ""},
    {"#1=FIX[#2] X#3\n", 2, "1:unmirrored-value:X#3 | 1:second-word:X#3"},  // FIX holds the first X
    {"G1 X SDIA\nG1 X- Y1.\n", 2, "1:unmirrored-value:X SDIA | 2:unmirrored-value:X-"},
    {"#1=FIX[#2]\n", 2, ""},
    // 4. Only the first word of a letter is rewritten.
    {"G1 X10. Y5. X20. Y6.\n", 3, "1:second-word:X20."},
    {"G1 X10. Y5. X0\n", 2, ""},
    {"#1=FIX[#2] X10.\n", 2, "1:second-word:X10."},
    {"G1X1.Y1.X#1\nG1 X1. X=2\nG1 X1. X+\n", 2,
     "1:second-word:X#1 | 2:second-word:X=2 | 2:assignment:X=2 | 3:second-word:X+"},
    // Assignments to a mode letter, in the code part of a skip line too.
    {"G81 X=XPOS-63 Y=YPOS-70\n", 1, "1:assignment:Y=YPOS-70"},
    {"G3 I=AC(0) J=AC(92.07)\n", 3, "1:assignment:I=AC"},  // '(0)' makes it a skip line
    {"G81 X=XPOS-63 Z=-5\nR1=5\n", 1, ""},
    // 5. and 6. Rotation and polar coordinates: G68 turns with its plane.
    {"G68 X0 Y0 R30.\nG68 X0 Y0\nG68.2 X0 Y0 Z0 I0 J30. K0\n", 1, "2:rotation:G68 | 3:rotation:G68.2"},
    {"G68 X0 Y0\nG18\nG68 X0 Z0\n", 3, "3:rotation:G68"},
    {"G68 X0 Y0\n", 3, ""},
    {"G16\n", 2, "1:polar:G16"},
    {"G16\n", 1, ""},
    // 7. Called programs, also behind a comment.
    {"M98 P1000\nM30\nO1000 (SUB)\nG1 Y1.\nM99\n", 1, ""},
    {"M98 P31000\n:1000\nM99\n", 1, ""},
    {"M98 P2000\nG65 P9010 A1.\nM98\nM198 P1\nM98 P9010 (PROBE)\n", 2,
     "1:subprogram:M98 P2000 | 2:subprogram:G65 P9010 | 3:subprogram:M98 | 4:subprogram:M198 P1 | "
     "5:subprogram:M98 P9010"},
    // 10. Lowercase letters and codes.
    {"G1 x10. Y5.\n", 2, "1:lowercase:x10."},
    {"G1 x10. Y5.\n", 1, ""},
    {"G1 Xx5.\n", 2, ""},  // inside a word
    {"g2 x[#1-[#3/2]] y#2\n", 3, "1:lowercase:x[#1-[#3/2]]"},
    {"g2 X1. Y1.\ng41 X1.\ng1 X1.\n", 1, "1:lowercase:g2 | 2:lowercase:g41"},
    {"g2 X1. Y1.\n", 3, ""},
    // Cycles whose I and J are no positions.
    {"G12 I10. D1\nG70 I40. J15. L6\nG76 X1. Y1. Z-5. I0.2\n", 2,
     "1:control-cycle:G12 I10. | 2:control-cycle:G70 I40. | 3:control-cycle:G76 I0.2"},
    {"G70 I40. J15. L6\nG81 X1. I0.2\nG12 I0\n", 1, "1:control-cycle:G70 J15."},
    // Rotary axes, once per file.
    {"G1 X1. A60.\nG1 A30.\n", 1, "1:rotary-axis:A60."},
    {"G1 X1. B60.\n", 1, ""},
    {"G1 X1. C10. A60.\n", 3, "1:rotary-axis:A60."},
    {"G1 X1. C10.\n", 2, "1:rotary-axis:C10."},
    // A lathe program: no Y on any line.
    {"G0 X20. Z2.\nG1 U-2. W-3.\nG2 X30. Z-10. K5.\n", 1, "2:lathe:U-2."},
    {"G0 X20. Z2.\nG18 G2 X30. Z-10. K5.\nG17 G3 X1. Z1. K2.\n", 2, "3:lathe:K2."},
    {"G0 X20. Y0\nG1 U-2. W-3.\nG1 Y1.\n", 1, ""},
};

// 9. Signed centres of a fixed-width program (no point anywhere).
const CheckCase kFixedCases[] = {
    {"N1G02X+001000Y+002000I-000500J+000500\n", 2, "1:fixed-signed-centre:I-000500"},
    {"N1G02X+001000Y+002000I-000500J+000500\n", 1, ""},
    {"N1G02X+001000Y+002000I+000500J-000500\n", 3, "1:fixed-signed-centre:J-000500"},
};

std::string Describe(const CMirrorFindings& findings)
{
    std::string text;
    for (const MirrorFinding& f : findings.List())
        text += (text.empty() ? "" : " | ") + std::to_string(f.line) + ":" + FindingCodeName(f.code) + ":" + f.word;
    return text;
}

// Mirrors `program` into a file and returns the findings.
std::string FindingsOf(const ScratchFolder& dir, const CheckCase& c, long long& count)
{
    WriteBytes(dir.path() / "p.nc", c.program);
    CNcMirror engine;
    count = engine.Mirror((dir / "p.nc").c_str(), (dir / "out.nc").c_str(), c.mode);
    return Describe(engine.GetFindings());
}

}  // namespace

TEST(MirrorCheck, EveryRuleFindsItsCaseAndPassesItsNearMiss)
{
    ScratchFolder dir("check");
    for (const CheckCase& c : kCases) {
        long long count = 0;
        EXPECT_EQ(c.expected, FindingsOf(dir, c, count)) << "mode " << c.mode << ": " << c.program;
        EXPECT_GE(count, 0);
    }
    for (const CheckCase& c : kFixedCases) {
        long long count = 0;
        EXPECT_EQ(c.expected, FindingsOf(dir, c, count)) << "mode " << c.mode << ": " << c.program;
    }
}

TEST(MirrorCheck, ExamplesHaveNoFindingInAnyMode)
{
    for (const char* name : {"pocket.nc", "bracket.up", "drill_crlf.nc"}) {
        for (int mode = 1; mode <= 3; ++mode) {
            CNcMirror engine;
            const std::string source = std::string(NCM_EXAMPLES_DIR) + "/" + name;
            EXPECT_GT(engine.MirrorToSink(source.c_str(), nullptr, mode), 0) << name;
            EXPECT_EQ("", Describe(engine.GetFindings())) << name << " mode " << mode;
        }
    }
}

TEST(MirrorCheck, KeepsTheFirstThousandAndCountsEveryOne)
{
    ScratchFolder dir("check_bounds");
    std::string program;
    for (int i = 0; i < 1500; ++i)
        program += "G1 X=#1 Y2.\nM98 P" + std::to_string(5000 + i) + "\n";
    WriteBytes(dir.path() / "p.nc", program);
    CNcMirror engine;
    EXPECT_EQ(0, engine.MirrorToSink((dir / "p.nc").c_str(), nullptr, 2));  // X=#1 has no value text
    const CMirrorFindings& findings = engine.GetFindings();
    EXPECT_EQ(1500, findings.Count(FindingCode::Assignment));
    EXPECT_EQ(1500, findings.Count(FindingCode::Subprogram));
    EXPECT_EQ(3000, findings.Total());
    ASSERT_EQ(CMirrorFindings::kMaxKept, findings.List().size());
    EXPECT_EQ(1, findings.List().front().line);
    for (std::size_t i = 1; i < findings.List().size(); ++i)
        ASSERT_LE(findings.List()[i - 1].line, findings.List()[i].line);
    EXPECT_EQ(std::vector<std::string>{"p.nc"}, dir.Names());  // a check-only run writes nothing
}

TEST(MirrorCheck, StrictRunWritesNothingWhenItFindsSomething)
{
    ScratchFolder dir("check_strict");
    WriteBytes(dir.path() / "bad.nc", "G1 X10. Y5. X20.\n");
    WriteBytes(dir.path() / "good.nc", "G1 X10. Y5.\n");
    WriteBytes(dir.path() / "out.nc", "old\n");
    CNcMirror engine;
    engine.SetStrict(true);
    EXPECT_EQ(kMirrorRefusedByCheck, engine.Mirror((dir / "bad.nc").c_str(), (dir / "out.nc").c_str(), 2));
    EXPECT_EQ("old\n", ReadBytes(dir.path() / "out.nc"));
    EXPECT_EQ(1, engine.GetFindings().Total());
    EXPECT_EQ(1, engine.Mirror((dir / "good.nc").c_str(), (dir / "out.nc").c_str(), 2));
    EXPECT_EQ("G1 X-10. Y5.\n", ReadBytes(dir.path() / "out.nc"));
    EXPECT_TRUE(engine.GetFindings().Empty());
    EXPECT_EQ((std::vector<std::string>{"bad.nc", "good.nc", "out.nc"}), dir.Names());
}
