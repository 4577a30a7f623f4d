// A program and its mirror image read line by line in step: the moves of
// both go to the proof and to the picture. It takes the lines of a mirror
// run as they are made (a sink of CNcMirror), or reads a source and a
// written output file side by side.
#pragma once

#include "NcMirror.h"
#include "ToolpathReader.h"

struct MirrorMode;
class CPathProof;
class CToolpathPicture;

class CMirrorPairReader final : public CMirrorSink {
public:
    // Either of `proof` and `picture` may be null. Without a proof,
    // `readOutput` false reads the source's lines alone (for a picture whose
    // mirror layer is the source's reflection).
    CMirrorPairReader(CPathProof* proof, CToolpathPicture* picture, bool readOutput = true)
        : m_pProof(proof), m_pPicture(picture), m_bReadOutput(readOutput || proof)
    {
    }

    // The formats of the two programs (fixed width: unsigned arc centres).
    void Begin(bool sourceFixedWidth, bool outputFixedWidth);

    // A mirror run's lines: the output keeps the source's format.
    void BeginLines(int formatCount) override { Begin(formatCount == 0, formatCount == 0); }
    bool Line(std::string_view source, std::string_view mirrored) override;
    // The same with the source's line parsed already.
    void LineParsed(const ParsedLine& source, std::string_view mirrored);
    // A strict run is refused when the proof found the path changed.
    bool Refuses() const override;

    long long Lines() const { return m_nLines; }

private:
    CPathProof* m_pProof;
    CToolpathPicture* m_pPicture;
    bool m_bReadOutput;
    CToolpathReader m_source;
    CToolpathReader m_output;
    ParsedLine m_parsed;
    long long m_nLines = 0;
};

// Results of reading files in step.
enum : int { kPairRead = 0, kPairSourceUnreadable = -1, kPairOutputUnreadable = -2 };

// Reads `source` and its written mirror image `output` side by side into
// `pair`; when their line counts differ, the proof (if any) is told. One of
// the results above.
int ReadFilesInStep(const char* source, const char* output, CMirrorPairReader& pair, CPathProof* proof);

// Told of the bytes of each line as a program is read; false stops the
// reading.
class CReadProgress {
public:
    virtual ~CReadProgress() = default;
    virtual bool Read(std::size_t bytes) = 0;
};

// Reads one program alone into the source layer of `picture`; false when it
// cannot be read, or `progress` stopped it.
bool ReadProgramPicture(const char* path, CToolpathPicture& picture, CReadProgress* progress = nullptr);
