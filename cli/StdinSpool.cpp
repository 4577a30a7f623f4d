#include "StdinSpool.h"

#include "Platform.h"

#include <memory>

CStdinSpool::~CStdinSpool()
{
    if (!m_bCreated)
        return;
    std::remove(m_strPath.c_str());
    m_observer.OnTempFileGone(m_record);
    ForgetTempFile(m_record);
}

CStdinSpool::Result CStdinSpool::Fill(std::FILE* input)
{
    std::FILE* file = CreateTemporaryFile(m_strPath, m_strFolder, m_observer, m_record);
    if (!file) {
        m_failure = SystemFailure(LastSystemError());
        return Result::CannotWrite;
    }
    m_bCreated = true;

    constexpr std::size_t kBufferSize = 1 << 16;
    const std::unique_ptr<char[]> buffer = std::make_unique<char[]>(kBufferSize);
    bool written = true;
    std::size_t got = 0;
    while (written && (got = std::fread(buffer.get(), 1, kBufferSize, input)) > 0)
        if (!(written = std::fwrite(buffer.get(), 1, got, file) == got))
            m_failure = SystemFailure(LastSystemError());
    const bool readFailed = written && std::ferror(input);
    if (std::fclose(file) != 0 && written) {
        m_failure = SystemFailure(LastSystemError());
        written = false;
    }
    if (readFailed)
        return Result::CannotRead;
    return written ? Result::Spooled : Result::CannotWrite;
}
