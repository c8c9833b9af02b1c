// The embedded speech engine for real, with no audio device involved: its voices,
// the PCM of a short sentence and how the rate changes its length, the cutting of
// a text into sentences, and the synthesising thread's queue, purge and shutdown.
#include "platform/SpeechStream.h"
#include "platform/SpeechSynth.h"
#include "platform/SystemVoice.h"

#include <QAudioDevice>
#include <QMediaDevices>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <thread>

namespace narvo {
namespace {

constexpr const char* Sentence = "Hello, this is a short test of the speech engine.";

std::vector<std::int16_t> Pcm(TSpeechSynth& Synth, std::string_view Text, int Voice, double Rate)
{
    std::vector<std::int16_t> Out;
    EXPECT_TRUE(Synth.Synthesize(Text, Voice, Rate, [&](const std::int16_t* S, std::size_t N) {
        Out.insert(Out.end(), S, S + N);
        return true;
    }));
    return Out;
}

int Loudest(const std::vector<std::int16_t>& Pcm)
{
    int Max = 0;
    for (std::int16_t S : Pcm)
        Max = std::max(Max, std::abs(static_cast<int>(S)));
    return Max;
}

TEST(SpeechSynthTest, ListsVoicesWithAnEnglishOne)
{
    TSpeechSynth Synth;
    ASSERT_TRUE(Synth.Ready()) << Synth.Error();
    EXPECT_GT(Synth.SampleRate(), 8000);
    ASSERT_FALSE(Synth.Voices().empty());
    const auto& V = Synth.Voices();
    auto English = std::find_if(V.begin(), V.end(), [](const TVoiceInfo& I) { return I.Language.rfind("en", 0) == 0; });
    ASSERT_NE(English, V.end());
    EXPECT_NE(English->Description().find(English->Name), std::string::npos);
    EXPECT_NE(English->Description().find(English->Language), std::string::npos);
}

TEST(SpeechSynthTest, ASentenceGivesSoundAFasterRateLessOfItAndTheSinkCanStopIt)
{
    TSpeechSynth Synth;
    ASSERT_TRUE(Synth.Ready()) << Synth.Error();
    const auto Slow = Pcm(Synth, Sentence, -1, -10);
    const auto Usual = Pcm(Synth, Sentence, -1, 0);
    const auto Fast = Pcm(Synth, Sentence, -1, 10);
    EXPECT_GT(Loudest(Usual), 1000);
    // Measured here: about 152,000, 64,000 and 20,000 samples.
    EXPECT_GT(Slow.size(), Usual.size() * 3 / 2);
    EXPECT_GT(Usual.size(), Fast.size() * 3 / 2);
    EXPECT_GT(Slow.size(), Fast.size() * 3);
    // Every voice of the list can be chosen; an English one speaks the sentence.
    const auto& V = Synth.Voices();
    for (std::size_t I = 0; I < V.size(); ++I) {
        if (V[I].Language.rfind("en", 0) == 0) {
            EXPECT_GT(Loudest(Pcm(Synth, Sentence, static_cast<int>(I), 0)), 1000) << V[I].Name;
        }
    }
    // A sink that says stop ends the synthesis.
    int Blocks = 0;
    EXPECT_FALSE(Synth.Synthesize("One sentence. Another sentence. A third one.", -1, 0,
                                  [&](const std::int16_t*, std::size_t) { return ++Blocks < 2; }));
    EXPECT_EQ(Blocks, 2);
}

TEST(SpeechSynthTest, AZeroByteDoesNotEndTheText)
{
    TSpeechSynth Synth;
    ASSERT_TRUE(Synth.Ready());
    using namespace std::string_view_literals;
    const auto Half = Pcm(Synth, "one two three four", -1, 0);
    const auto Whole = Pcm(Synth, "one two three four\0five six seven eight"sv, -1, 0);
    EXPECT_GT(Whole.size(), Half.size() * 3 / 2);
}

TEST(SpeechSynthTest, RatesMapAroundTheUsualOne)
{
    EXPECT_EQ(TSpeechSynth::WordsPerMinute(0), 175);
    EXPECT_EQ(TSpeechSynth::WordsPerMinute(-10), 80);
    EXPECT_EQ(TSpeechSynth::WordsPerMinute(10), 438);
    EXPECT_EQ(TSpeechSynth::WordsPerMinute(-5), 128);
    EXPECT_EQ(TSpeechSynth::WordsPerMinute(-99), 80);
    EXPECT_EQ(TSpeechSynth::WordsPerMinute(99), 438);
    EXPECT_EQ(TSpeechSynth::WordsPerMinute(std::numeric_limits<double>::quiet_NaN()), 175);
}

TEST(SpeechSynthTest, OnlyOneEngineAtATimeAndItStartsAgainAfterBeingFreed)
{
    {
        TSpeechSynth First;
        ASSERT_TRUE(First.Ready());
        TSpeechSynth Second;
        EXPECT_FALSE(Second.Ready());
        EXPECT_TRUE(Second.Voices().empty());
        EXPECT_FALSE(Second.Synthesize("text", -1, 0, [](const std::int16_t*, std::size_t) { return true; }));
    }
    TSpeechSynth Again;
    EXPECT_TRUE(Again.Ready()) << Again.Error();
    EXPECT_GT(Loudest(Pcm(Again, "Again.", -1, 0)), 1000);
}

TEST(SpeechSynthTest, TextIsCutAfterSentencesAtLineBreaksAndAtLength)
{
    auto Pieces = [](std::string_view T, std::size_t Longest) {
        std::vector<std::string> Out;
        for (auto [Off, Len] : SplitSentences(T, Longest))
            Out.emplace_back(T.substr(Off, Len));
        return Out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(Pieces("", 400), V{});
    EXPECT_EQ(Pieces("No mark", 400), V{"No mark"});
    EXPECT_EQ(Pieces("One. Two! Three? x", 400), (V{"One. ", "Two! ", "Three? ", "x"}));
    EXPECT_EQ(Pieces("3.14 is pi", 400), V{"3.14 is pi"});
    EXPECT_EQ(Pieces("a\rb\r\n\rc", 400), (V{"a\r", "b\r\n\r", "c"}));
    EXPECT_EQ(Pieces("aaaa bbbb cccc", 10), (V{"aaaa bbbb ", "cccc"}));
    EXPECT_EQ(Pieces("aaaa bbbbbbbb", 10), (V{"aaaa ", "bbbbbbbb"}));
    EXPECT_EQ(Pieces("abcdefghijkl", 8), (V{"abcdefgh", "ijkl"}));
    // A hard cut never falls inside a UTF-8 character.
    EXPECT_EQ(Pieces("abcdefg\xC3\xA9xyz", 8), (V{"abcdefg", "\xC3\xA9xyz"}));
}

TEST(SpeechSynthTest, LongSentencesAreCutAtCommasThenBlanksKeepingWordsWhole)
{
    auto Pieces = [](std::string_view T, std::size_t Longest, std::size_t Hardest) {
        std::vector<std::string> Out;
        for (std::size_t Start = 0; Start < T.size();) {
            const std::size_t End = NextSpeechPiece(T, Start, Longest, Hardest);
            Out.emplace_back(T.substr(Start, End - Start));
            Start = End;
        }
        return Out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(Pieces("one two, three four five six", 16, 400), (V{"one two, ", "three four five ", "six"}));
    EXPECT_EQ(Pieces("a, b  c,d eeee ffff", 12, 400), (V{"a, ", "b  c,d eeee ", "ffff"}));
    EXPECT_EQ(Pieces("One. Two, three", 400, 400), (V{"One. ", "Two, three"}));
    // A word longer than a piece is spoken whole, up to the hard cut.
    EXPECT_EQ(Pieces("internationalization, yes", 8, 400), (V{"internationalization, ", "yes"}));
    EXPECT_EQ(Pieces(std::string(30, 'x'), 8, 20), (V{std::string(20, 'x'), std::string(10, 'x')}));
}

// Waits (at most Limit) until Done holds.
template <class F>
bool WaitFor(F Done, std::chrono::seconds Limit = std::chrono::seconds(20))
{
    const auto End = std::chrono::steady_clock::now() + Limit;
    while (!Done()) {
        if (std::chrono::steady_clock::now() > End)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

TEST(SpeechStreamTest, SynthesisWaitsForTheOutputAndStopsOnPurge)
{
    TSpeechSynth Synth;
    ASSERT_TRUE(Synth.Ready());
    const std::size_t MaxAhead = 4000;
    TSpeechStream Stream(Synth, MaxAhead);
    EXPECT_TRUE(Stream.Finished());
    std::string Long;
    for (int I = 0; I < 40; ++I)
        Long += "This sentence is spoken again and again. ";
    Stream.Start(Long);
    // The queue fills to its bound and the synthesis waits there.
    ASSERT_TRUE(WaitFor([&] { return Stream.Queued() >= MaxAhead; }));
    EXPECT_FALSE(Stream.Finished());
    std::vector<std::int16_t> Block(1000);
    EXPECT_EQ(Stream.Take(Block.data(), Block.size()), 1000u);
    Stream.Purge();
    EXPECT_EQ(Stream.Queued(), 0u);
    ASSERT_TRUE(WaitFor([&] { return Stream.Finished(); }));
    EXPECT_FALSE(Stream.Failed());

    // A short text is synthesised to its end when drained.
    Stream.SetRate(5);
    Stream.Start(Sentence);
    std::size_t Total = 0;
    ASSERT_TRUE(WaitFor([&] {
        Total += Stream.Take(Block.data(), Block.size());
        return Stream.Finished();
    }));
    EXPECT_GT(Total, 10000u);
}

// A rate or voice changed in the middle of one long sentence is heard within about
// a second of speech: counted in samples taken by a recording sink that drains the
// stream as the audio output would, so the machine's speed does not matter.
TEST(SpeechStreamTest, ARateOrVoiceChangeIsHeardWithinAboutASecond)
{
    TSpeechSynth Synth;
    ASSERT_TRUE(Synth.Ready());
    const auto& V = Synth.Voices();
    const auto English = std::find_if(V.begin(), V.end(), [](const TVoiceInfo& I) { return I.Language.rfind("en", 0) == 0; });
    ASSERT_NE(English, V.end());
    const auto Second = static_cast<std::int64_t>(Synth.SampleRate());
    TSpeechStream Stream(Synth, SpeechQueueSamples(Synth.SampleRate()));
    std::string Long;  // commas and blanks, never a full stop
    for (int I = 0; I < 40; ++I)
        Long += "and the words go on, one after another without a stop ";
    Stream.Start(Long);

    std::vector<std::int16_t> Recorded;
    auto TakeSome = [&] {
        std::int16_t Block[441];
        const std::size_t N = Stream.Take(Block, std::size(Block));
        Recorded.insert(Recorded.end(), Block, Block + N);
    };
    auto TakeUntil = [&](std::uint64_t Samples) {
        return WaitFor([&] {
            TakeSome();
            return Stream.Taken() >= Samples || Stream.Finished();
        });
    };
    ASSERT_TRUE(TakeUntil(static_cast<std::uint64_t>(2 * Second)));
    EXPECT_EQ(Stream.SettingsHeardFrom(), 0);  // the settings of the start

    const std::function<void()> Changes[] = {
        [&] { Stream.SetRate(10); },
        [&] { Stream.SetVoice(static_cast<int>(English - V.begin())); },
        [&] { Stream.SetRate(-10); },
        [&] { Stream.SetRate(0); },
    };
    for (std::size_t C = 0; C < std::size(Changes); ++C) {
        const auto At = static_cast<std::int64_t>(Stream.Taken());
        Changes[C]();
        EXPECT_EQ(Stream.SettingsHeardFrom(), -1);
        ASSERT_TRUE(WaitFor([&] {
            TakeSome();
            return Stream.SettingsHeardFrom() >= 0;
        })) << C;
        const std::int64_t Late = Stream.SettingsHeardFrom() - At;
        EXPECT_GE(Late, 0) << C;
        EXPECT_LE(Late, Second * 5 / 4) << C << ": heard " << Late << " samples later";
        ASSERT_TRUE(TakeUntil(static_cast<std::uint64_t>(At + 2 * Second)));
        ASSERT_FALSE(Stream.Finished()) << C;  // the text is long enough for every change
    }
    EXPECT_EQ(Recorded.size(), Stream.Taken());
}

TEST(SpeechStreamTest, DestroyingTheStreamWhileItWaitsForRoomEndsTheThread)
{
    TSpeechSynth Synth;
    ASSERT_TRUE(Synth.Ready());
    {
        TSpeechStream Stream(Synth, 100);
        Stream.Start("A text much longer than the queue holds. And more of it.");
        ASSERT_TRUE(WaitFor([&] { return Stream.Queued() >= 100; }));
    }
    // The engine is free for the next user.
    EXPECT_GT(Loudest(Pcm(Synth, "Free.", -1, 0)), 1000);
}

// The program's own voice: with no audio output (as on a build machine) Speak says
// so instead of failing silently; with one it speaks. Either way purging and
// destroying it stop everything at once.
TEST(SystemVoiceTest, SpeaksOrSaysThereIsNoAudioOutput)
{
    auto Voice = std::make_unique<TSystemVoice>();
    ASSERT_EQ(Voice->StartError(), "");
    EXPECT_FALSE(Voice->Voices().empty());
    Voice->ChooseVoice(0);
    Voice->ChooseVoice(100000);  // ignored
    Voice->SetRate(10);
    Voice->Resume();
    Voice->Purge();
    EXPECT_EQ(Voice->SpeakAsync(""), "");
    const bool NoOutput = QMediaDevices::defaultAudioOutput().isNull();
    EXPECT_EQ(Voice->SpeakAsync("A sentence that is never heard to its end."),
              NoOutput ? TSystemVoice::NoAudioDevice : "");
    Voice->Pause();
    Voice->Resume();
    Voice->Purge();
    Voice.reset();
    // The engine is free again.
    TSpeechSynth Synth;
    EXPECT_TRUE(Synth.Ready()) << Synth.Error();
}

}  // namespace
}  // namespace narvo
