#include "StdinSpool.h"

#include "Platform.h"

#include <memory>

CStdinSpool::~CStdinSpool()
{
    if (m_bCreated)
        std::remove(m_strPath.c_str());
}

CStdinSpool::Result CStdinSpool::Fill(std::FILE* input)
{
    std::FILE* file = CreateTemporaryFile(m_strPath);
    if (!file)
        return Result::CannotWrite;
    m_bCreated = true;

    constexpr std::size_t kBufferSize = 1 << 16;
    const std::unique_ptr<char[]> buffer = std::make_unique<char[]>(kBufferSize);
    bool written = true;
    std::size_t got = 0;
    while (written && (got = std::fread(buffer.get(), 1, kBufferSize, input)) > 0)
        written = std::fwrite(buffer.get(), 1, got, file) == got;
    const bool readFailed = written && std::ferror(input);
    written = std::fclose(file) == 0 && written;
    if (readFailed)
        return Result::CannotRead;
    return written ? Result::Spooled : Result::CannotWrite;
}
