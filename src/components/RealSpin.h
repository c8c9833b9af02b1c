// TRealSpin: the spin edit for floating-point values. The arrow buttons and the Up
// and Down keys change the value by Increment (ten times that with Ctrl held); the
// value stays within MinValue and MaxValue or wraps, and is shown in one of four
// number formats under the process's decimal and thousands separators. Every edit
// of the text reads it back into Value; unreadable text keeps the last valid value.
#pragma once

#include "components/SpinButtons.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace narvo {

enum TNumberFormat : std::uint8_t { nfStandard, nfScientific, nfFixed, nfThousands };

using TRealIncEvent = std::function<void(QObject* Sender, bool Inc, double& Value)>;

class TRealSpin : public TCustomSpin {
    Q_OBJECT
public:
    explicit TRealSpin(QWidget* Parent = nullptr);

    double Increment = 1.0;
    bool OwnerIncrement = false;
    TRealIncEvent OnIncrement;

    double Value() const { return FValue; }
    void SetValue(double V);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double M);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double M);
    int Digits() const { return FDigits; }
    void SetDigits(int Value);  // negative values are refused
    TNumberFormat NumFormat() const { return FNumFormat; }
    void SetNumFormat(TNumberFormat Value);

    double ApplyLimits(double V);

    void UpClick() override;
    void DownClick() override;
    bool IsValidChar(char Key) const override;
    // Reads the text back into Value (no limits), then OnChange.
    void Change() override;
    // The system's number settings changed: the text is rewritten with the locale's
    // separators.
    void SettingsChanged();

    // V as Format shows it under the given separators (Thousand 0: none).
    static std::string FormatReal(double V, TNumberFormat Format, int Digits, char Decimal, char Thousand);
    // Text without its thousands separators read as a number; nullopt when it is none.
    static std::optional<double> ParseReal(const std::string& Text, char Decimal, char Thousand);

protected:
    void focusOutEvent(QFocusEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    void Step(bool Up);
    void ShowValue();
    TNumberFormat FNumFormat = nfStandard;
    double FValue = 0;
    int FDigits = 5;
    double FMinValue = 0;
    double FMaxValue = 0;
    double FLastValid = 0;
};

}  // namespace narvo
