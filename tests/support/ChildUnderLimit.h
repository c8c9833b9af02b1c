// Runs a piece of a test in a child process: one that changes the process's limits,
// or one whose address space may grow only so far, so that memory runs out there
// and nowhere else. The sanitizers reserve more
// address space than any such limit leaves: under them the callers skip.
#pragma once

#include "platform/posix/ProcessMemory.h"

#include <exception>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace narvo::test {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool SanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool SanitizedBuild = true;
#else
inline constexpr bool SanitizedBuild = false;
#endif
#else
inline constexpr bool SanitizedBuild = false;
#endif

// Runs Body in a child process, so that whatever it does to the process (its
// limits above all) binds nothing else; answers what Body answered ("" when all
// held), what escaped it, or how the child died.
inline std::string InChild(const std::function<std::string()>& Body)
{
    int Pipe[2];
    if (pipe(Pipe) != 0)
        return "no pipe";
    const pid_t Pid = fork();
    if (Pid == 0) {
        close(Pipe[0]);
        std::string Answer;
        try {
            Answer = Body();
        } catch (const std::exception& E) {
            Answer = std::string("escaped: ") + E.what();
        }
        if (!Answer.empty() && write(Pipe[1], Answer.data(), Answer.size()) < 0)
            _exit(3);
        _exit(Answer.empty() ? 0 : 1);
    }
    close(Pipe[1]);
    std::string Answer;
    char Buf[256];
    for (ssize_t N; (N = read(Pipe[0], Buf, sizeof Buf)) > 0;)
        Answer.append(Buf, static_cast<std::size_t>(N));
    close(Pipe[0]);
    int Status = 0;
    waitpid(Pid, &Status, 0);
    if (!WIFEXITED(Status))
        return "child died, signal " + std::to_string(WTERMSIG(Status));
    return Answer;
}

// Runs Body in a child whose address space may grow by Extra bytes from now.
inline std::string InChildUnderLimit(std::int64_t Extra, const std::function<std::string()>& Body)
{
    return InChild([&] {
        const rlimit L{static_cast<rlim_t>(MemoryUse().Virtual + Extra), RLIM_INFINITY};
        return setrlimit(RLIMIT_AS, &L) == 0 ? Body() : std::string("setrlimit failed");
    });
}

}  // namespace narvo::test
