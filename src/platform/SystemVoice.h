// The program's own voice: the embedded engine synthesises on a thread of its own
// (SpeechStream.h) and a QAudioSink plays the PCM on the desktop's audio output.
// Pause suspends the output, Resume resumes it, Purge stops the output, drops the
// queued PCM and cancels the synthesis under way. Destroying the voice stops the
// speech and frees the engine.
#pragma once

#include "platform/SpeechStream.h"
#include "platform/SpeechSynth.h"
#include "platform/VoiceService.h"

#include <QObject>

#include <memory>

class QAudioSink;
class QIODevice;
class QTimer;

namespace narvo {

class TSystemVoice : public QObject, public TVoiceService {
    Q_OBJECT
public:
    inline static const char* const NoAudioDevice = "No audio output device";

    TSystemVoice();
    ~TSystemVoice() override;

    std::string StartError() const override { return FSynth.Error(); }
    std::vector<std::string> Voices() const override;
    void ChooseVoice(int Index) override;
    void SetRate(double Rate) override;
    void Pause() override;
    void Resume() override;
    void Purge() override;
    std::string SpeakAsync(const std::string& Utf8) override;

private:
    void Feed();
    void StopOutput();

    TSpeechSynth FSynth;
    std::unique_ptr<TSpeechStream> FStream;  // null when the engine did not start
    QAudioSink* FSink = nullptr;
    QIODevice* FOutput = nullptr;  // the sink's device while it plays
    QTimer* FFeedTimer = nullptr;
    bool FPaused = false;
};

}  // namespace narvo
