// The embedded engine played through Qt Multimedia (see SystemVoice.h).
#include "platform/SystemVoice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

#include <vector>

namespace narvo {

namespace {
// How often the queued PCM is moved into the output, in milliseconds.
constexpr int FeedInterval = 20;
}  // namespace

std::unique_ptr<TVoiceService> CreateSystemVoice() { return std::make_unique<TSystemVoice>(); }

TSystemVoice::TSystemVoice()
{
    if (FSynth.Ready()) {
        FStream = std::make_unique<TSpeechStream>(FSynth, SpeechQueueSamples(FSynth.SampleRate()));
    }
    FFeedTimer = new QTimer(this);
    FFeedTimer->setInterval(FeedInterval);
    connect(FFeedTimer, &QTimer::timeout, this, [this] { Feed(); });
}

TSystemVoice::~TSystemVoice()
{
    StopOutput();
    // The stream's thread is joined before the engine it uses is freed.
    FStream.reset();
}

std::vector<std::string> TSystemVoice::Voices() const
{
    std::vector<std::string> List;
    if (!FStream)
        return List;
    for (const TVoiceInfo& V : FSynth.Voices())
        List.push_back(V.Description());
    return List;
}

void TSystemVoice::ChooseVoice(int Index)
{
    if (FStream && Index >= 0 && Index < static_cast<int>(FSynth.Voices().size()))
        FStream->SetVoice(Index);
}

void TSystemVoice::SetRate(double Rate)
{
    if (FStream)
        FStream->SetRate(Rate);
}

void TSystemVoice::Pause()
{
    FPaused = true;
    if (FSink && FSink->state() != QAudio::StoppedState)
        FSink->suspend();
}

void TSystemVoice::Resume()
{
    FPaused = false;
    if (FSink && FSink->state() == QAudio::SuspendedState)
        FSink->resume();
}

void TSystemVoice::Purge()
{
    if (FStream)
        FStream->Purge();
    StopOutput();
}

std::string TSystemVoice::SpeakAsync(const std::string& Utf8)
{
    if (!FStream)
        return FSynth.Error();
    Purge();
    if (Utf8.empty())
        return {};
    const QAudioDevice Device = QMediaDevices::defaultAudioOutput();
    if (Device.isNull())
        return NoAudioDevice;
    QAudioFormat Format;
    Format.setSampleRate(FSynth.SampleRate());
    Format.setChannelCount(1);
    Format.setSampleFormat(QAudioFormat::Int16);
    FSink = new QAudioSink(Device, Format, this);
    // The output holds no more than the stream's queue does, so that a rate or
    // voice change reaches the ear within about a second.
    FSink->setBufferSize(static_cast<qsizetype>(SpeechQueueSamples(FSynth.SampleRate()) * 2));
    FOutput = FSink->start();
    if (!FOutput || FSink->error() != QAudio::NoError) {
        StopOutput();
        return NoAudioDevice;
    }
    if (FPaused)
        FSink->suspend();
    FStream->Start(Utf8);
    FFeedTimer->start();
    return {};
}

// On the user-interface thread, from the timer: as much queued PCM as the output
// takes now. Cheap: at most the output's free room is copied.
void TSystemVoice::Feed()
{
    if (!FSink || !FOutput || !FStream) {
        FFeedTimer->stop();
        return;
    }
    if (FSink->state() == QAudio::SuspendedState)
        return;
    const qsizetype Room = FSink->bytesFree() / 2;
    if (Room > 0) {
        std::vector<std::int16_t> Block(static_cast<std::size_t>(Room));
        const std::size_t N = FStream->Take(Block.data(), Block.size());
        if (N)
            FOutput->write(reinterpret_cast<const char*>(Block.data()), static_cast<qint64>(N * 2));
    }
    // Everything handed over: the output plays out what it holds and is closed
    // once it runs dry.
    if (FStream->Finished() && FSink->state() == QAudio::IdleState)
        StopOutput();
}

void TSystemVoice::StopOutput()
{
    FFeedTimer->stop();
    if (FSink) {
        FSink->stop();
        delete FSink;
        FSink = nullptr;
    }
    FOutput = nullptr;
}

}  // namespace narvo
