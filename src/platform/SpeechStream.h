// Speech synthesised on a thread of its own into a queue of PCM that the audio
// output drains. The queue holds a fifth of a second of speech ahead of the
// output: the synthesis waits while it is full, so a paused output holds the
// synthesis too, and a voice or rate set now is heard from the next piece of about
// a second on (SpeechSynth.h), within about a second of speech.
// Every call here is cheap and made from the user-interface thread; only the
// worker thread calls into the engine while a text is being synthesised.
#pragma once

#include "platform/SpeechSynth.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace narvo {

// The queue's bound for an engine of SampleRate samples a second.
std::size_t SpeechQueueSamples(int SampleRate);

class TSpeechStream {
public:
    // Synth must outlive the stream. MaxAhead: the most samples queued at a time.
    TSpeechStream(TSpeechSynth& Synth, std::size_t MaxAhead);
    // Cancels the synthesis under way and waits for the thread.
    ~TSpeechStream();
    TSpeechStream(const TSpeechStream&) = delete;
    TSpeechStream& operator=(const TSpeechStream&) = delete;

    void SetVoice(int Index);
    void SetRate(double Rate);
    // Drops what is queued or under way, then synthesises Utf8.
    void Start(std::string Utf8);
    // Drops what is queued and cancels the synthesis under way.
    void Purge();
    // Moves up to Max samples from the queue into Out; the count moved.
    std::size_t Take(std::int16_t* Out, std::size_t Max);
    std::size_t Queued() const;
    // Samples taken since the last Start: how far the output got.
    std::uint64_t Taken() const;
    // The sample, counted like Taken, from which the voice and rate last set are
    // heard; -1 until the synthesis took them up.
    std::int64_t SettingsHeardFrom() const;
    // Nothing queued and nothing left to synthesise.
    bool Finished() const;
    // The engine failed on the last text (it stopped early).
    bool Failed() const;

private:
    void Run();

    TSpeechSynth& FSynth;
    const std::size_t FMaxAhead;
    mutable std::mutex FLock;
    std::condition_variable FWake;  // a job, room in the queue, a purge or the end
    std::deque<std::int16_t> FPcm;
    std::string FText;
    bool FHasJob = false;
    bool FSynthesizing = false;
    bool FFailed = false;
    bool FQuit = false;
    std::uint64_t FGeneration = 0;  // raised by every Start and Purge
    std::uint64_t FProduced = 0;    // samples queued since Start
    std::uint64_t FTaken = 0;       // samples taken since Start
    std::uint64_t FSettings = 0;    // raised by every SetVoice and SetRate
    std::uint64_t FHeardSettings = 0;  // the FSettings last taken up...
    std::uint64_t FHeardFrom = 0;      // ...from this sample on
    int FVoice = -1;
    double FRate = 0;
    std::thread FThread;  // last: starts once the rest is set up
};

}  // namespace narvo
