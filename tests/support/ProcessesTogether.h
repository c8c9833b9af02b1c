// Runs one piece of a test in several child processes that act at one moment, as
// windows ending together at a logout do. Each child does what must come first (reads
// a file, say), calls AllReady, and goes on only once every child has called it. A
// child never returns into the test runner: it ends with 0 when its piece answered
// true, 1 when it answered false or anything escaped it.
#pragma once

#include <functional>
#include <vector>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace narvo::test {

// Answers whether every child ended with 0. A child that fails before it is ready
// does not hold the others: after 30 s without a word they are let go.
inline bool RunInProcessesTogether(int Count, const std::function<bool(int I, const std::function<void()>& AllReady)>& Piece)
{
    int Ready[2], Go[2];
    if (::pipe(Ready) != 0 || ::pipe(Go) != 0)
        return false;
    std::vector<pid_t> Children;
    for (int I = 0; I < Count; ++I) {
        const pid_t Pid = ::fork();
        if (Pid < 0)
            break;
        if (Pid == 0) {
            ::close(Ready[0]);
            ::close(Go[1]);
            int Code = 1;
            try {
                Code = Piece(I, [&] {
                    char Byte = 1;
                    (void)!::write(Ready[1], &Byte, 1);
                    (void)!::read(Go[0], &Byte, 1);  // end of file: the moment for all
                }) ? 0 : 1;
            } catch (...) {
                Code = 1;
            }
            ::_exit(Code);
        }
        Children.push_back(Pid);
    }
    ::close(Ready[1]);
    ::close(Go[0]);
    pollfd P{Ready[0], POLLIN, 0};
    char Byte;
    for (std::size_t Heard = 0; Heard < Children.size() && ::poll(&P, 1, 30000) == 1 && ::read(Ready[0], &Byte, 1) == 1;)
        ++Heard;
    ::close(Go[1]);
    bool AllHeld = Children.size() == static_cast<std::size_t>(Count);
    for (const pid_t Pid : Children) {
        int Status = 0;
        AllHeld = ::waitpid(Pid, &Status, 0) == Pid && WIFEXITED(Status) && WEXITSTATUS(Status) == 0 && AllHeld;
    }
    ::close(Ready[0]);
    return AllHeld;
}

}  // namespace narvo::test
