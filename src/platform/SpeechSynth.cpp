// The embedded speech engine in synchronous retrieval mode (see SpeechSynth.h).
#include "platform/SpeechSynth.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace narvo {

std::string TVoiceInfo::Description() const
{
    return Language.empty() ? Name : Name + " - " + Language;
}

namespace {

// The library's state is global; this lock covers every call into it.
std::mutex& LibraryLock()
{
    static std::mutex M;
    return M;
}
// Whether a TSpeechSynth holds the library.
std::mutex& OwnerLock()
{
    static std::mutex M;
    return M;
}
bool GLibraryTaken = false;  // under OwnerLock

std::string StatusText(espeak_ng_STATUS Status)
{
    char Buffer[512] = {};
    espeak_ng_GetStatusCodeMessage(Status, Buffer, sizeof Buffer);
    std::string S = Buffer;
    // One line: the message may end with a line break.
    while (!S.empty() && (S.back() == '\n' || S.back() == '\r' || S.back() == ' '))
        S.pop_back();
    return S.empty() ? "error " + std::to_string(static_cast<unsigned>(Status)) : S;
}

struct TSynthRun {
    const TPcmSink* Sink;
    bool Stopped = false;
};

// Called by the library with each block of samples, on the synthesising thread.
int SynthCallback(short* Wav, int Count, espeak_EVENT* Events)
{
    auto* Run = Events ? static_cast<TSynthRun*>(Events->user_data) : nullptr;
    if (!Run)
        return 0;
    if (Run->Stopped)
        return 1;
    if (Wav && Count > 0 && !(*Run->Sink)(Wav, static_cast<std::size_t>(Count))) {
        Run->Stopped = true;
        return 1;
    }
    return 0;
}

bool IsSentenceMark(char C) { return C == '.' || C == '!' || C == '?' || C == ';' || C == ':'; }
bool IsBlank(char C) { return C == ' ' || C == '\t'; }
bool IsBreak(char C) { return C == '\r' || C == '\n'; }

// Beyond this a piece without a blank is cut even inside a word.
constexpr std::size_t LongestWord = 400;


// The library is started once per process and kept: this version of it hangs in
// its shutdown once it has been started a second time.
struct TLibrary {
    std::string Error;
    int SampleRate = 0;
    std::vector<TVoiceInfo> Voices;
};

const TLibrary& StartLibrary()
{
    static const TLibrary Library = [] {
        TLibrary L;
        espeak_ng_InitializePath(nullptr);
        espeak_ng_ERROR_CONTEXT Context = nullptr;
        espeak_ng_STATUS Status = espeak_ng_Initialize(&Context);
        espeak_ng_ClearErrorContext(&Context);
        if (Status == ENS_OK)
            Status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 100, nullptr);
        if (Status != ENS_OK) {
            L.Error = "The speech engine cannot start: " + StatusText(Status);
            return L;
        }
        L.SampleRate = espeak_ng_GetSampleRate();
        espeak_SetSynthCallback(SynthCallback);
        if (const espeak_VOICE** List = espeak_ListVoices(nullptr)) {
            for (; *List; ++List) {
                const espeak_VOICE& V = **List;
                TVoiceInfo Info;
                Info.Name = V.name ? V.name : "";
                // The languages are (priority byte, name, zero) pairs; the first one names the voice.
                if (V.languages && V.languages[0])
                    Info.Language = V.languages + 1;
                Info.Identifier = V.identifier ? V.identifier : "";
                L.Voices.push_back(std::move(Info));
            }
        }
        if (L.Voices.empty())
            L.Error = "The speech engine has no voices installed";
        return L;
    }();
    return Library;
}

}  // namespace

TSpeechSynth::TSpeechSynth()
{
    {
        // A lock of its own: LibraryLock may be held for long by a synthesis that
        // waits for its output to make room.
        std::lock_guard Lock(OwnerLock());
        if (GLibraryTaken) {
            FError = "The speech engine is already in use";
            return;
        }
        GLibraryTaken = FOwner = true;
    }
    const TLibrary& L = StartLibrary();
    FError = L.Error;
    if (!FError.empty())
        return;
    FSampleRate = L.SampleRate;
    FVoices = L.Voices;
}

TSpeechSynth::~TSpeechSynth()
{
    if (!FOwner)
        return;
    std::lock_guard Lock(OwnerLock());
    GLibraryTaken = false;
}

int TSpeechSynth::WordsPerMinute(double Rate)
{
    if (!std::isfinite(Rate))
        Rate = 0;
    Rate = std::clamp(Rate, -10.0, 10.0);
    const double Normal = espeakRATE_NORMAL;
    const double Wpm = Rate < 0 ? Normal + Rate * (Normal - espeakRATE_MINIMUM) / 10.0 : Normal + Rate * (1.5 * Normal) / 10.0;
    return static_cast<int>(std::lround(Wpm));
}

// Under LibraryLock. Sets only what changed: loading a voice reads its files.
bool TSpeechSynth::Apply(int VoiceIndex, double Rate)
{
    if (VoiceIndex < -1 || VoiceIndex >= static_cast<int>(FVoices.size()))
        VoiceIndex = FVoice >= -1 ? FVoice : -1;
    if (VoiceIndex != FVoice) {
        const char* Name = VoiceIndex < 0 ? ESPEAKNG_DEFAULT_VOICE : FVoices[static_cast<std::size_t>(VoiceIndex)].Name.c_str();
        espeak_ng_STATUS Status = espeak_ng_SetVoiceByName(Name);
        if (Status != ENS_OK && VoiceIndex >= 0)
            Status = espeak_ng_SetVoiceByFile(FVoices[static_cast<std::size_t>(VoiceIndex)].Identifier.c_str());
        if (Status != ENS_OK)
            return false;
        FVoice = VoiceIndex;
        FWpm = 0;  // a new voice brings its own rate
    }
    const int Wpm = WordsPerMinute(Rate);
    if (Wpm != FWpm) {
        if (espeak_ng_SetParameter(espeakRATE, Wpm, 0) != ENS_OK)
            return false;
        FWpm = Wpm;
    }
    return true;
}

bool TSpeechSynth::Synthesize(std::string_view Utf8, int VoiceIndex, double Rate, const TPcmSink& Sink)
{
    return Synthesize(Utf8, [VoiceIndex, Rate] { return std::make_pair(VoiceIndex, Rate); }, Sink);
}

bool TSpeechSynth::Synthesize(std::string_view Utf8, const TParams& Params, const TPcmSink& Sink)
{
    if (!FOwner || FSampleRate <= 0)
        return false;
    for (std::size_t Offset = 0; Offset < Utf8.size();) {
        // The voice and rate of this piece, and its length from that rate.
        const auto [Voice, Rate] = Params();
        const std::size_t End = NextSpeechPiece(Utf8, Offset, PieceLength(Rate), LongestWord);
        std::string Piece(Utf8.substr(Offset, End - Offset));
        Offset = End;
        // The engine reads a zero byte as the end of the text; the rest would be lost.
        std::replace(Piece.begin(), Piece.end(), '\0', ' ');
        if (std::all_of(Piece.begin(), Piece.end(), [](char C) { return IsBlank(C) || IsBreak(C); }))
            continue;
        std::lock_guard Lock(LibraryLock());
        if (!Apply(Voice, Rate))
            return false;
        TSynthRun Run{&Sink};
        const espeak_ng_STATUS Status = espeak_ng_Synthesize(Piece.c_str(), Piece.size() + 1, 0, POS_CHARACTER, 0,
                                                             espeakCHARS_UTF8, nullptr, &Run);
        if (Run.Stopped)
            return false;
        if (Status != ENS_OK && Status != ENS_SPEECH_STOPPED)
            return false;
    }
    return true;
}

std::size_t TSpeechSynth::PieceLength(double Rate)
{
    // Measured with the English voices: each word a minute speaks about 0.12
    // characters a second, pauses included; 0.08 gives pieces of ordinary words
    // below a second with the pause that ends each. A long word or a number spoken
    // in full takes longer.
    return static_cast<std::size_t>(std::max(4L, std::lround(WordsPerMinute(Rate) * 0.08)));
}

std::size_t NextSpeechPiece(std::string_view Text, std::size_t Start, std::size_t Longest, std::size_t Hardest)
{
    Longest = std::max<std::size_t>(Longest, 1);
    Hardest = std::max(Hardest, Longest);
    const std::size_t N = Text.size();
    std::size_t LastBlank = 0;  // a cut after this offset, 0: none in the piece
    std::size_t LastComma = 0;
    // The blanks and breaks from From on go with the piece that ends there.
    auto Through = [&](std::size_t From) {
        while (From < N && (IsBlank(Text[From]) || IsBreak(Text[From])))
            ++From;
        return From;
    };
    for (std::size_t I = Start; I < N; ++I) {
        const char C = Text[I];
        const bool BlankNext = I + 1 < N && (IsBlank(Text[I + 1]) || IsBreak(Text[I + 1]));
        if (IsBreak(C) || (IsSentenceMark(C) && BlankNext))
            return Through(I + 1);
        if (C == ',' && BlankNext)
            LastComma = I + 1;
        else if (IsBlank(C))
            LastBlank = I + 1;
        if (I + 1 - Start >= Longest) {
            if (LastComma > Start)
                return Through(LastComma);
            if (LastBlank > Start)
                return Through(LastBlank);
            // One long word: it runs on to its end, up to a hard cut, which never
            // falls inside a UTF-8 sequence.
            if (I + 1 - Start < Hardest)
                continue;
            std::size_t End = I + 1;
            while (End < N && End > Start + 1 && (static_cast<unsigned char>(Text[End]) & 0xC0) == 0x80)
                --End;
            return End;
        }
    }
    return N;
}

std::vector<std::pair<std::size_t, std::size_t>> SplitSentences(std::string_view Text, std::size_t Longest)
{
    std::vector<std::pair<std::size_t, std::size_t>> Pieces;
    for (std::size_t Start = 0; Start < Text.size();) {
        const std::size_t End = NextSpeechPiece(Text, Start, Longest, Longest);
        Pieces.emplace_back(Start, End - Start);
        Start = End;
    }
    return Pieces;
}

}  // namespace narvo
