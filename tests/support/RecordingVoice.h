// A voice that speaks nothing and records every call made on it, one line each
// ("rate 2", "resume", "purge", "speak a b"), for the speech window's tests.
#pragma once

#include "platform/VoiceService.h"

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace narvo {

struct TVoiceRecord {
    std::vector<std::string> Calls;
    std::vector<std::string> VoiceNames{"Voice A - en", "Voice B - de"};
    std::string StartError;
    std::string SpeakError;
    int Made = 0;   // voices made
    int Freed = 0;  // voices destroyed
};

class TRecordingVoice : public TVoiceService {
public:
    explicit TRecordingVoice(std::shared_ptr<TVoiceRecord> Record) : R(std::move(Record)) { ++R->Made; }
    ~TRecordingVoice() override { ++R->Freed; }

    std::string StartError() const override { return R->StartError; }
    std::vector<std::string> Voices() const override { return R->StartError.empty() ? R->VoiceNames : std::vector<std::string>{}; }
    void ChooseVoice(int Index) override { R->Calls.push_back("voice " + std::to_string(Index)); }
    void SetRate(double Rate) override
    {
        std::ostringstream S;
        S << "rate " << Rate;
        R->Calls.push_back(S.str());
    }
    void Pause() override { R->Calls.push_back("pause"); }
    void Resume() override { R->Calls.push_back("resume"); }
    void Purge() override { R->Calls.push_back("purge"); }
    std::string SpeakAsync(const std::string& Utf8) override
    {
        R->Calls.push_back("speak " + Utf8);
        return R->SpeakError;
    }

private:
    std::shared_ptr<TVoiceRecord> R;
};

}  // namespace narvo
