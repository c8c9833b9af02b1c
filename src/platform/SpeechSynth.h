// The embedded speech engine (eSpeak NG's library) turned into 16-bit mono PCM that
// the caller owns: nothing here touches an audio device. The library keeps one
// global state per process, so at most one TSpeechSynth is alive at a time and
// every call into the library is made under one lock. The library itself is
// started with the first TSpeechSynth and its data kept until the program ends.
// The text is cut into pieces of about a second of speech (at sentence ends and
// line breaks, else at commas, else at blanks), each synthesised on its own, so a
// voice or rate set while a long text is being synthesised applies from the next
// piece on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace narvo {

struct TVoiceInfo {
    std::string Name;        // "English (Great Britain)"
    std::string Language;    // "en-gb", the voice's first language
    std::string Identifier;  // the voice file within the engine's data
    std::string Description() const;  // "English (Great Britain) - en-gb"
};

// Receives each block of samples; false stops the synthesis.
using TPcmSink = std::function<bool(const std::int16_t* Samples, std::size_t Count)>;

class TSpeechSynth {
public:
    // Starts the library and reads its voices; Error() tells when it could not.
    TSpeechSynth();
    ~TSpeechSynth();
    TSpeechSynth(const TSpeechSynth&) = delete;
    TSpeechSynth& operator=(const TSpeechSynth&) = delete;

    bool Ready() const { return FError.empty(); }
    const std::string& Error() const { return FError; }
    const std::vector<TVoiceInfo>& Voices() const { return FVoices; }
    int SampleRate() const { return FSampleRate; }

    // Synthesises the UTF-8 text with voice VoiceIndex (-1: the engine's default)
    // at Rate (-10..+10), piece by piece, asking Params before each piece for the
    // voice and rate to use then (when set). Returns false when the engine failed
    // or Sink stopped it.
    using TParams = std::function<std::pair<int, double>()>;
    bool Synthesize(std::string_view Utf8, const TParams& Params, const TPcmSink& Sink);
    bool Synthesize(std::string_view Utf8, int VoiceIndex, double Rate, const TPcmSink& Sink);

    // Words per minute for a rate of -10..+10: linear on each side of the engine's
    // default (0), -10 the slowest the engine takes, +10 two and a half times the
    // default. Rates outside are held to the ends.
    static int WordsPerMinute(double Rate);
    // The bytes of text after which a piece is cut at a comma or blank at Rate:
    // below a second of speech.
    static std::size_t PieceLength(double Rate);

private:
    bool Apply(int VoiceIndex, double Rate);
    std::string FError;
    std::vector<TVoiceInfo> FVoices;
    int FSampleRate = 0;
    int FVoice = -2;  // voice set in the engine (-2: none yet)
    int FWpm = 0;     // rate set in the engine (0: none yet)
    bool FOwner = false;
};

// The end of the piece of Text that starts at Start: after a sentence mark
// (. ! ? ; :) followed by a blank, or at a line break; else, once the piece is
// Longest bytes long, after its last comma followed by a blank, or its last blank;
// a piece with neither runs on to the next blank, up to a hard cut at Hardest
// bytes. The blanks and breaks after a cut go with the piece before it.
std::size_t NextSpeechPiece(std::string_view Text, std::size_t Start, std::size_t Longest, std::size_t Hardest);
// Text cut into such pieces throughout, as (offset, length), with the hard cut at
// Longest.
std::vector<std::pair<std::size_t, std::size_t>> SplitSentences(std::string_view Text, std::size_t Longest = 400);

}  // namespace narvo
