#include "RunProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

const std::chrono::seconds kTimeLimit(20);

[[noreturn]] void ExecIn(const std::vector<std::string>& args, const std::string& folder)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (chdir(folder.c_str()) == 0)
        execv(argv[0], argv.data());
    std::perror(args[0].c_str());
    _exit(127);
}

int StatusOf(pid_t pid, long* peakMemoryKb = nullptr)
{
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR)
            return -1;
    if (peakMemoryKb)
        *peakMemoryKb = usage.ru_maxrss;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

// Reads everything from the read ends of `fds` into `texts` until all close;
// false when the time limit ran out first.
bool Drain(std::vector<int> fds, std::vector<std::string*> texts)
{
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    while (!fds.empty() && std::chrono::steady_clock::now() < deadline) {
        std::vector<pollfd> polls;
        for (int fd : fds)
            polls.push_back({fd, POLLIN, 0});
        if (poll(polls.data(), polls.size(), 200) <= 0)
            continue;
        for (std::size_t i = polls.size(); i-- > 0;) {
            if (polls[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t n = read(fds[i], buffer, sizeof buffer);
            if (n > 0) {
                texts[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(fds[i]);
                fds.erase(fds.begin() + static_cast<long>(i));
                texts.erase(texts.begin() + static_cast<long>(i));
            }
        }
    }
    const bool finished = fds.empty();
    for (int fd : fds)
        close(fd);
    return finished;
}

}  // namespace

StartedProgram StartProgram(const std::vector<std::string>& args, const std::string& folder, const std::string& input)
{
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0)
        return StartedProgram();
    // The program may exit before it reads its input: the write must then
    // fail with EPIPE instead of killing the test. The program itself gets
    // the default back.
    signal(SIGPIPE, SIG_IGN);
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGPIPE, SIG_DFL);
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            close(fd);
        ExecIn(args, folder);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    // The answers are short: they fit in the pipe without a reader.
    if (!input.empty() && write(in[1], input.data(), input.size()) < 0 && errno != EPIPE)
        std::perror("write");
    close(in[1]);
    return StartedProgram{pid, out[0], err[0]};
}

ProcessResult FinishProgram(StartedProgram& program)
{
    ProcessResult result;
    if (program.pid <= 0)
        return result;
    if (!Drain({program.out, program.err}, {&result.out, &result.err}))
        kill(program.pid, SIGKILL);
    result.status = StatusOf(program.pid, &result.peakMemoryKb);
    program = StartedProgram();
    return result;
}

ProcessResult RunProgram(const std::vector<std::string>& args, const std::string& folder, const std::string& input)
{
    StartedProgram program = StartProgram(args, folder, input);
    return FinishProgram(program);
}

ProcessResult RunInTerminal(const std::vector<std::string>& args, const std::string& folder,
                            const std::string& prompt, const std::string& answer, int delayMs)
{
    int master = -1;
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 200;
    const pid_t pid = forkpty(&master, nullptr, nullptr, &size);
    if (pid < 0)
        return ProcessResult();
    if (pid == 0)
        ExecIn(args, folder);
    ProcessResult result;
    bool answered = prompt.empty();
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 200) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;  // EIO once the program has ended and closed the terminal
        result.out.append(buffer, static_cast<std::size_t>(n));
        if (!answered && result.out.find(prompt) != std::string::npos) {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            if (write(master, answer.data(), answer.size()) < 0)
                std::perror("write");
            answered = true;
        }
    }
    if (std::chrono::steady_clock::now() >= deadline)
        kill(pid, SIGKILL);
    close(master);
    result.status = StatusOf(pid);
    return result;
}
