// The proof on the bench generator's programs (CAM-like surfacing, pockets
// with arcs and compensation, drilling cycles): silent in every mode.
#include "MirrorMessages.h"
#include "MirrorModes.h"
#include "NcMirror.h"
#include "ProgramGenerator.h"
#include "TestFiles.h"
#include "ToolpathRun.h"

#include <gtest/gtest.h>

namespace {

class StringSink : public CProgramSink {
public:
    bool Write(const char* data, std::size_t size) override
    {
        text.append(data, size);
        return true;
    }
    std::string text;
};

}  // namespace

TEST(PathProof, FindsNothingOnGeneratedProgramsInEveryMode)
{
    ScratchFolder folder("proof_generated");
    for (const ProgramStyle style : {ProgramStyle::Free, ProgramStyle::Fixed}) {
        ProgramOptions options;
        options.style = style;
        options.seed = 7;
        options.targetBytes = 2u << 20;
        StringSink program;
        ASSERT_GT(GenerateProgram(options, program), 0);
        const std::string path = folder / "generated.nc";
        WriteBytes(path, program.text);
        for (int mode = 1; mode <= 3; ++mode) {
            CToolpathRun run(*FindMirrorMode(mode), true, false);
            CNcMirror engine;
            ASSERT_GT(engine.MirrorToSink(path.c_str(), run.Sink(), mode), 0);
            const CMirrorFindings findings = run.Findings(CMirrorFindings());
            EXPECT_EQ(findings.Count(FindingCode::PathMismatch), 0) << "mode " << mode;
            for (const MirrorFinding& finding : findings.List())
                ADD_FAILURE() << FormatFindingForLog(path, finding);
            EXPECT_EQ(run.UnreadLines(), 0);
        }
    }
}
