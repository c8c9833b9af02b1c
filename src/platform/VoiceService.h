// The voice the speech dialog talks to: the few calls it makes (list the voices,
// choose one, set the rate, speak a text without waiting, purge, pause, resume).
// The program's own voice synthesises with an embedded engine and plays through
// the desktop's audio output (SystemVoice.h); the tests put a recording voice in
// its place.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace narvo {

class TVoiceService {
public:
    virtual ~TVoiceService() = default;

    // Empty when the engine is ready; else one line saying why it cannot speak.
    virtual std::string StartError() const = 0;
    // The installed voices' descriptions (name and language), in the engine's order.
    virtual std::vector<std::string> Voices() const = 0;
    // Index into Voices(); an index out of range is ignored.
    virtual void ChooseVoice(int Index) = 0;
    // -10 (slowest) to +10 (fastest), 0 the engine's usual rate; speech under way
    // takes it up too.
    virtual void SetRate(double Rate) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // Drops what is being spoken or still queued.
    virtual void Purge() = 0;
    // Starts speaking Utf8 and returns at once. Empty on success, else one line
    // saying why nothing is spoken (no audio output, say).
    virtual std::string SpeakAsync(const std::string& Utf8) = 0;
};

// The program's own voice. Never null and never throws: an engine that cannot
// start answers with StartError.
std::unique_ptr<TVoiceService> CreateSystemVoice();

}  // namespace narvo
