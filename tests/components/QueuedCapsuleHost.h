// A capsule host for tests without an event loop: posted calls wait in a queue until
// the test thread (the capsules' owner) runs them, and error messages are recorded.
// Installed for its lifetime.
#pragma once

#include "components/ThreadLib.h"

#include <chrono>
#include <deque>
#include <mutex>
#include <thread>

namespace narvo {

class TQueuedCapsuleHost {
public:
    TQueuedCapsuleHost() : FSaved(CapsuleHost())
    {
        CapsuleHost().Post = [this](std::function<void()> Call) {
            std::lock_guard L(FM);
            FPosted.push_back(std::move(Call));
        };
        CapsuleHost().ShowError = [this](const std::string& Message) { Errors.push_back(Message); };
    }
    ~TQueuedCapsuleHost() { CapsuleHost() = FSaved; }
    TQueuedCapsuleHost(const TQueuedCapsuleHost&) = delete;
    TQueuedCapsuleHost& operator=(const TQueuedCapsuleHost&) = delete;

    bool Pending()
    {
        std::lock_guard L(FM);
        return !FPosted.empty();
    }
    void Serve()
    {
        std::deque<std::function<void()>> Calls;
        {
            std::lock_guard L(FM);
            Calls.swap(FPosted);
        }
        for (auto& Call : Calls) {
            ++Served;
            Call();
        }
    }
    // Serves (or with Serving false only waits) until Done holds, at most 30 s (a
    // bound for a busy machine: the wait ends as soon as Done holds).
    template <class F>
    bool Until(F&& Done, bool Serving = true)
    {
        const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!Done() && std::chrono::steady_clock::now() < End) {
            if (Serving)
                Serve();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return Done();
    }

    std::vector<std::string> Errors;
    // The calls served so far.
    std::size_t Served = 0;

private:
    TCapsuleHost FSaved;
    std::mutex FM;
    std::deque<std::function<void()>> FPosted;
};

}  // namespace narvo
