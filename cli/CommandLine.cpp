#include "CommandLine.h"

#include "MirrorModes.h"
#include "PositionWords.h"

#include <cctype>
#include <string>
#include <utility>

namespace {

enum class Option { Mode, Output, Stdout, Force, Quiet, Check, Strict, Sync, Verify, Svg, At, Jobs, Help, Version, Unknown };

struct OptionName {
    Option option;
    char shortName;        // 0 when the option has only a long name
    const char* longName;
    bool takesValue;
};

const OptionName kOptions[] = {
    {Option::Mode, 'm', "mode", true},
    {Option::Output, 'o', "output", true},
    {Option::Stdout, 'c', "stdout", false},
    {Option::Force, 'f', "force", false},
    {Option::Quiet, 'q', "quiet", false},
    {Option::Check, 0, "check", false},
    {Option::Strict, 0, "strict", false},
    {Option::Sync, 0, "sync", false},
    {Option::Verify, 0, "verify", false},
    {Option::Svg, 0, "svg", true},
    {Option::At, 0, "at", true},
    {Option::Jobs, 'j', "jobs", true},
    {Option::Help, 'h', "help", false},
    {Option::Version, 0, "version", false},
};

const OptionName* FindShort(char c)
{
    for (const OptionName& o : kOptions)
        if (o.shortName != 0 && o.shortName == c)
            return &o;
    return nullptr;
}

const OptionName* FindLong(const std::string& name)
{
    for (const OptionName& o : kOptions)
        if (name == o.longName)
            return &o;
    return nullptr;
}

std::string Lowercase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// --at x=A, y=B, x=A,y=B, centre (center): the mirror's position.
bool ApplyPosition(const std::string& value, CommandLine& result, std::string& error)
{
    if (value == "centre" || value == "center") {
        result.atCentre = true;
        return true;
    }
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t comma = value.find(',', start);
        const std::string part = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        ExactDecimal number;
        const bool letter = part.size() > 2 && (part[0] == 'x' || part[0] == 'y' || part[0] == 'X' || part[0] == 'Y') &&
                            part[1] == '=';
        if (!letter || !ParsePositionText(part.c_str() + 2, number)) {
            error = "--at takes x=A, y=B, x=A,y=B or centre, A and B numbers ('" + value + "')";
            return false;
        }
        (part[0] == 'x' || part[0] == 'X' ? result.atX : result.atY) = part.substr(2);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return true;
}

// Applies one option; false (with `error` set) when its value is bad.
bool Apply(const OptionName& option, const std::string& value, CommandLine& result, std::string& error)
{
    switch (option.option) {
    case Option::Mode:
        result.mode = FindMirrorModeByName(Lowercase(value));
        if (!result.mode) {
            error = "unknown mode '" + value + "' (use x, y, xy or 1, 2, 3)";
            return false;
        }
        return true;
    case Option::Output:
        if (value.empty()) {
            error = "empty output path";
            return false;
        }
        result.output = value;
        result.hasOutput = true;
        return true;
    case Option::Stdout: result.toStdout = true; return true;
    case Option::Force: result.force = true; return true;
    case Option::Quiet: result.quiet = true; return true;
    case Option::Check: result.check = true; return true;
    case Option::Strict: result.strict = true; return true;
    case Option::Sync: result.sync = true; return true;
    case Option::Verify: result.verify = true; return true;
    case Option::Svg:
        if (value.empty()) {
            error = "empty picture path";
            return false;
        }
        result.svg = value;
        return true;
    case Option::At: return ApplyPosition(value, result, error);
    case Option::Jobs: {
        unsigned jobs = 0;
        bool digits = !value.empty() && value.size() <= 3;
        for (const char c : value) {
            digits = digits && c >= '0' && c <= '9';
            jobs = jobs * 10 + static_cast<unsigned>(c - '0');
        }
        if (!digits || jobs > kMaxJobs) {
            error = "-j takes a number of files from 1 to " + std::to_string(kMaxJobs) + ", or 0 for one per core";
            return false;
        }
        result.jobs = jobs;
        return true;
    }
    case Option::Help: result.help = true; return true;
    case Option::Version: result.version = true; return true;
    case Option::Unknown: break;
    }
    return false;
}

// 1. A long option: --name, --name=value or --name value (taking the next
//    argument, `i` moved past it).
bool ReadLongOption(const std::vector<std::string>& args, std::size_t& i, CommandLine& result, std::string& error)
{
    const std::string& arg = args[i];
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const OptionName* option = FindLong(name);
    if (!option) {
        error = "unknown option '--" + name + "'";
        return false;
    }
    std::string value;
    if (equals != std::string::npos) {
        if (!option->takesValue) {
            error = "option '--" + name + "' takes no value";
            return false;
        }
        value = arg.substr(equals + 1);
    } else if (option->takesValue) {
        if (i + 1 == args.size()) {
            error = "option '--" + name + "' needs a value";
            return false;
        }
        value = args[++i];
    }
    return Apply(*option, value, result, error);
}

// 2. Short options, alone or together: -fq, -mx, -m x, -oPATH, -o PATH.
bool ReadShortOptions(const std::vector<std::string>& args, std::size_t& i, CommandLine& result, std::string& error)
{
    const std::string& arg = args[i];
    for (std::size_t k = 1; k < arg.size(); ++k) {
        const OptionName* option = FindShort(arg[k]);
        if (!option) {
            error = std::string("unknown option '-") + arg[k] + "'";
            return false;
        }
        std::string value;
        if (option->takesValue) {
            if (k + 1 < arg.size()) {
                value = arg.substr(k + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                error = std::string("option '-") + arg[k] + "' needs a value";
                return false;
            }
            k = arg.size();
        }
        if (!Apply(*option, value, result, error))
            return false;
    }
    return true;
}

// 3. What the options and files say together; the first conflict found.
std::string ConflictOf(const CommandLine& result)
{
    if (!result.mode)
        return "no mode given (-m x, y or xy)";
    if (result.files.empty())
        return "no files given";
    if (result.hasOutput && result.files.size() != 1)
        return "-o needs exactly one FILE";
    if (!result.svg.empty() && result.files.size() != 1)
        return "--svg needs exactly one FILE";
    // A position of an axis the mode does not mirror is meaningless.
    if ((!result.atX.empty() && !result.mode->negatesX) || (!result.atY.empty() && !result.mode->negatesY))
        return std::string("--at: mode ") + result.mode->name + " mirrors about " +
               (result.mode->negatesX ? "x=A only" : "y=B only");
    if (result.check && (result.hasOutput || result.toStdout))
        return std::string("--check writes nothing; ") + (result.hasOutput ? "-o" : "-c") + " has no use with it";
    if (result.toStdout && result.hasOutput)
        return "-c and -o both say where to write: give one";
    if (result.toStdout && result.files.size() != 1)
        return "-c needs exactly one FILE";
    for (const std::string& file : result.files)
        if (file == kStandardInput && result.files.size() != 1)
            return "'-' (standard input) must be the only FILE";
    return std::string();
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& result, std::string& error,
                      FileArgumentExpander expand)
{
    result = CommandLine();
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (expand) {
                for (std::string& file : expand(arg))
                    result.files.push_back(std::move(file));
            } else {
                result.files.push_back(arg);
            }
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (!(arg[1] == '-' ? ReadLongOption(args, i, result, error)
                                   : ReadShortOptions(args, i, result, error))) {
            return false;
        }
    }
    if (result.help || result.version)
        return true;
    error = ConflictOf(result);
    return error.empty();
}

bool WritesToStandardOutput(const CommandLine& options, const std::string& file)
{
    return options.toStdout || (file == kStandardInput && !options.hasOutput);
}
