// ncm_genprog: writes a large generated NC program for the benchmarks.
//
//   ncm_genprog [--style free|fixed|noise|noise-fixed|cam|lathe] [--size 100M] [--seed N] [--crlf] OUTPUT
//
// OUTPUT '-' writes to standard output. The same options always give the
// same bytes.
#include "ProgramGenerator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

class CFileSink : public CProgramSink {
public:
    explicit CFileSink(std::FILE* file) : m_pFile(file) {}
    bool Write(const char* data, std::size_t size) override
    {
        return std::fwrite(data, 1, size, m_pFile) == size;
    }

private:
    std::FILE* m_pFile;
};

int Usage()
{
    std::fprintf(stderr,
                 "usage: ncm_genprog [--style free|fixed|noise|noise-fixed|cam|lathe] [--size BYTES[K|M|G]]\n"
                 "                   [--seed N] [--crlf] OUTPUT|-\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    ProgramOptions options;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--style" && hasValue) {
            if (!ParseProgramStyle(argv[++i], options.style))
                return Usage();
        } else if (arg == "--size" && hasValue) {
            const long long size = ParseByteSize(argv[++i]);
            if (size < 0)
                return Usage();
            options.targetBytes = static_cast<unsigned long long>(size);
        } else if (arg == "--seed" && hasValue) {
            char* end = nullptr;
            options.seed = std::strtoull(argv[++i], &end, 10);
            if (end == argv[i] || *end != '\0')
                return Usage();
        } else if (arg == "--crlf") {
            options.crlf = true;
        } else if (output.empty() && !arg.empty() && (arg == "-" || arg[0] != '-')) {
            output = arg;
        } else {
            return Usage();
        }
    }
    if (output.empty())
        return Usage();

    std::FILE* file = output == "-" ? stdout : std::fopen(output.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "ncm_genprog: cannot create %s: %s\n", output.c_str(), std::strerror(errno));
        return 1;
    }
    CFileSink sink(file);
    const long long written = GenerateProgram(options, sink);
    const bool closed = file == stdout ? std::fflush(file) == 0 : std::fclose(file) == 0;
    if (written < 0 || !closed) {
        std::fprintf(stderr, "ncm_genprog: cannot write %s\n", output.c_str());
        if (file != stdout)
            std::remove(output.c_str());
        return 1;
    }
    return 0;
}
