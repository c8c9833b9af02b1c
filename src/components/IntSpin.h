// TIntegerSpin: the spin edit for 64-bit integers. Typed digits, the arrow buttons
// and the Up and Down keys change the value by Increment (ten times that with Ctrl
// held), optionally kept within MinValue and MaxValue or wrapped around, and
// optionally shown and typed in upper-case hexadecimal. Text that is no number is
// never an error: Value answers the last valid value, and leaving the control
// writes that value back.
#pragma once

#include "components/SpinButtons.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace narvo {

// Inc is true for the up direction; the handler changes Value in place.
using TIntegerIncEvent = std::function<void(QObject* Sender, bool Inc, std::int64_t& Value)>;

class TIntegerSpin : public TCustomSpin {
    Q_OBJECT
public:
    explicit TIntegerSpin(QWidget* Parent = nullptr);

    std::int64_t Increment = 1;
    bool OwnerIncrement = false;
    TIntegerIncEvent OnIncrement;

    // Reads the text (with the limits applied); the last valid value when it is no number.
    std::int64_t Value();
    void SetValue(std::int64_t V);
    // SetValue without OnChange.
    void SetValueQuiet(std::int64_t V);
    std::int64_t MinValue() const { return FMinValue; }
    void SetMinValue(std::int64_t M);
    std::int64_t MaxValue() const { return FMaxValue; }
    void SetMaxValue(std::int64_t M);
    bool HexMode() const { return FHexMode; }
    void SetHexMode(bool Value);
    int HexDigits() const { return FHexDigits; }
    void SetHexDigits(int Value);

    // Without UseLimit V itself; else V kept in range, or wrapped with Wrap set
    // (MinValue up to MaxValue - 1), firing OnWrap.
    std::int64_t ApplyLimits(std::int64_t V);

    void UpClick() override;
    void DownClick() override;
    bool IsValidChar(char Key) const override;

    // The number a text stands for: decimal with an optional sign, or "$" and up
    // to 16 hex digits (two's complement); nullopt for anything else.
    static std::optional<std::int64_t> ParseInt64(const std::string& Text);

protected:
    void focusOutEvent(QFocusEvent* Event) override;

private:
    void Step(bool Up);
    std::int64_t FMinValue = 0;
    std::int64_t FMaxValue = 0;
    std::int64_t FLastValid = 0;
    bool FHexMode = false;
    int FHexDigits = 4;
};

}  // namespace narvo
