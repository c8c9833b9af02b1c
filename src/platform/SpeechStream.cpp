// The synthesising thread and its PCM queue (see SpeechStream.h).
#include "platform/SpeechStream.h"

#include <algorithm>

namespace narvo {

std::size_t SpeechQueueSamples(int SampleRate) { return static_cast<std::size_t>(std::max(SampleRate, 5) / 5); }

TSpeechStream::TSpeechStream(TSpeechSynth& Synth, std::size_t MaxAhead)
    : FSynth(Synth), FMaxAhead(std::max<std::size_t>(MaxAhead, 1)), FThread([this] { Run(); })
{
}

TSpeechStream::~TSpeechStream()
{
    {
        std::lock_guard Lock(FLock);
        FQuit = true;
        ++FGeneration;
    }
    FWake.notify_all();
    FThread.join();
}

void TSpeechStream::SetVoice(int Index)
{
    std::lock_guard Lock(FLock);
    FVoice = Index;
    ++FSettings;
}

void TSpeechStream::SetRate(double Rate)
{
    std::lock_guard Lock(FLock);
    FRate = Rate;
    ++FSettings;
}

void TSpeechStream::Start(std::string Utf8)
{
    {
        std::lock_guard Lock(FLock);
        ++FGeneration;
        FPcm.clear();
        FText = std::move(Utf8);
        FHasJob = true;
        FFailed = false;
        FProduced = FTaken = 0;
        // Whatever was set before, the new text is heard with it from its start.
        FHeardSettings = FSettings;
        FHeardFrom = 0;
    }
    FWake.notify_all();
}

void TSpeechStream::Purge()
{
    {
        std::lock_guard Lock(FLock);
        ++FGeneration;
        FPcm.clear();
        FText.clear();
        FHasJob = false;
    }
    FWake.notify_all();
}

std::size_t TSpeechStream::Take(std::int16_t* Out, std::size_t Max)
{
    std::size_t N = 0;
    {
        std::lock_guard Lock(FLock);
        N = std::min(Max, FPcm.size());
        std::copy_n(FPcm.begin(), N, Out);
        FPcm.erase(FPcm.begin(), FPcm.begin() + static_cast<std::ptrdiff_t>(N));
        FTaken += N;
    }
    if (N)
        FWake.notify_all();
    return N;
}

std::size_t TSpeechStream::Queued() const
{
    std::lock_guard Lock(FLock);
    return FPcm.size();
}

std::uint64_t TSpeechStream::Taken() const
{
    std::lock_guard Lock(FLock);
    return FTaken;
}

std::int64_t TSpeechStream::SettingsHeardFrom() const
{
    std::lock_guard Lock(FLock);
    return FHeardSettings == FSettings ? static_cast<std::int64_t>(FHeardFrom) : -1;
}

bool TSpeechStream::Finished() const
{
    std::lock_guard Lock(FLock);
    return !FHasJob && !FSynthesizing && FPcm.empty();
}

bool TSpeechStream::Failed() const
{
    std::lock_guard Lock(FLock);
    return FFailed;
}

void TSpeechStream::Run()
{
    std::unique_lock Lock(FLock);
    for (;;) {
        FWake.wait(Lock, [this] { return FQuit || FHasJob; });
        if (FQuit)
            return;
        const std::string Text = std::move(FText);
        FText.clear();
        FHasJob = false;
        FSynthesizing = true;
        const std::uint64_t Generation = FGeneration;
        Lock.unlock();

        // Runs on this thread between the engine's blocks; the lock is not held
        // while the engine works.
        auto Current = [&] { return FGeneration == Generation && !FQuit; };
        const bool Done = FSynth.Synthesize(
            Text,
            [&] {
                // Asked before each piece, once the pieces before it are queued.
                std::lock_guard L(FLock);
                if (Current() && FHeardSettings != FSettings) {
                    FHeardSettings = FSettings;
                    FHeardFrom = FProduced;
                }
                return std::make_pair(FVoice, FRate);
            },
            [&](const std::int16_t* Samples, std::size_t Count) {
                std::unique_lock L(FLock);
                FWake.wait(L, [&] { return !Current() || FPcm.size() < FMaxAhead; });
                if (!Current())
                    return false;
                FPcm.insert(FPcm.end(), Samples, Samples + Count);
                FProduced += Count;
                return true;
            });

        Lock.lock();
        FSynthesizing = false;
        if (!Done && FGeneration == Generation && !FQuit)
            FFailed = true;
    }
}

}  // namespace narvo
