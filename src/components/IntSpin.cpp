// The integer spin edit (see IntSpin.h).
#include "components/IntSpin.h"

#include "platform/KeyState.h"
#include "shared/SystemData.h"

#include <QFocusEvent>
#include <limits>

namespace narvo {

namespace {

constexpr std::int64_t Int64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Int64Min = std::numeric_limits<std::int64_t>::min();

// A + B held at the ends of the 64-bit range instead of overflowing.
std::int64_t SaturatingAdd(std::int64_t A, std::int64_t B)
{
    std::int64_t R = 0;
    if (__builtin_add_overflow(A, B, &R))
        return B > 0 ? Int64Max : Int64Min;
    return R;
}

std::int64_t SaturatingMul(std::int64_t A, std::int64_t B)
{
    std::int64_t R = 0;
    if (__builtin_mul_overflow(A, B, &R))
        return (A < 0) != (B < 0) ? Int64Min : Int64Max;
    return R;
}

int HexDigitValue(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return -1;
}

std::string IntToHex(std::int64_t V, int Digits)
{
    static const char* const HexChars = "0123456789ABCDEF";
    std::string S;
    for (std::uint64_t U = static_cast<std::uint64_t>(V); U != 0; U >>= 4)
        S.insert(S.begin(), HexChars[U & 15]);
    if (static_cast<int>(S.size()) < Digits)
        S.insert(0, static_cast<std::size_t>(Digits) - S.size(), '0');
    return S;
}

}  // namespace

TIntegerSpin::TIntegerSpin(QWidget* Parent) : TCustomSpin(Parent)
{
    Button()->OnUpClick = [this](QObject*) { UpClick(); };
    Button()->OnDownClick = [this](QObject*) { DownClick(); };
    FLastValid = Value();
}

std::optional<std::int64_t> TIntegerSpin::ParseInt64(const std::string& Text)
{
    std::size_t I = 0;
    while (I < Text.size() && Text[I] == ' ')
        ++I;
    bool Negative = false;
    if (I < Text.size() && (Text[I] == '+' || Text[I] == '-'))
        Negative = Text[I++] == '-';
    if (I < Text.size() && Text[I] == '$') {
        ++I;
        if (I == Text.size() || Text.size() - I > 16)
            return std::nullopt;
        std::uint64_t U = 0;
        for (; I < Text.size(); ++I) {
            const int D = HexDigitValue(Text[I]);
            if (D < 0)
                return std::nullopt;
            U = U * 16 + static_cast<std::uint64_t>(D);
        }
        const std::int64_t V = static_cast<std::int64_t>(U);
        return Negative ? static_cast<std::int64_t>(0 - U) : V;
    }
    if (I == Text.size())
        return std::nullopt;
    std::uint64_t U = 0;
    const std::uint64_t Limit = Negative ? std::uint64_t(Int64Max) + 1 : std::uint64_t(Int64Max);
    for (; I < Text.size(); ++I) {
        const char C = Text[I];
        if (C < '0' || C > '9')
            return std::nullopt;
        const std::uint64_t D = static_cast<std::uint64_t>(C - '0');
        if (U > (Limit - D) / 10)
            return std::nullopt;
        U = U * 10 + D;
    }
    return Negative ? static_cast<std::int64_t>(0 - U) : static_cast<std::int64_t>(U);
}

std::int64_t TIntegerSpin::ApplyLimits(std::int64_t V)
{
    if (!UseLimit)
        return V;
    // The wrap keeps MinValue up to MaxValue - 1 whatever the distance travelled, in
    // one step (a stepwise wrap would never end for limits at or below zero).
    const bool CanWrap = Wrap && FMinValue < FMaxValue;
    const std::uint64_t Period = static_cast<std::uint64_t>(FMaxValue) - static_cast<std::uint64_t>(FMinValue);
    const std::int64_t In = V;
    if (In >= FMaxValue) {
        if (CanWrap) {
            const std::uint64_t Diff = static_cast<std::uint64_t>(In) - static_cast<std::uint64_t>(FMinValue);
            V = static_cast<std::int64_t>(static_cast<std::uint64_t>(FMinValue) + Diff % Period);
            DoWrap(wmUp);
        } else {
            V = FMaxValue;
        }
    }
    if (In < FMinValue) {
        if (CanWrap) {
            const std::uint64_t R = (static_cast<std::uint64_t>(FMinValue) - static_cast<std::uint64_t>(In)) % Period;
            V = R == 0 ? FMinValue : static_cast<std::int64_t>(static_cast<std::uint64_t>(FMaxValue) - R);
            DoWrap(wmDown);
        } else {
            V = FMinValue;
        }
    }
    return V;
}

std::int64_t TIntegerSpin::Value()
{
    std::string Text = text().toStdString();
    if (FHexMode)
        Text.insert(Text.begin(), '$');
    const std::optional<std::int64_t> V = ParseInt64(Text);
    if (!V)
        return FLastValid;
    FLastValid = ApplyLimits(*V);
    return FLastValid;
}

void TIntegerSpin::SetValue(std::int64_t V)
{
    // The value kept is the one shown, so that an unreadable text falls back to a
    // value within the limits.
    FLastValid = ApplyLimits(V);
    setText(QString::fromStdString(FHexMode ? IntToHex(FLastValid, FHexDigits) : std::to_string(FLastValid)));
}

void TIntegerSpin::SetValueQuiet(std::int64_t V)
{
    struct TRestore {
        bool& Flag;
        bool Was;
        ~TRestore() { Flag = Was; }
    } Restore{BlockChangeEvent, BlockChangeEvent};
    BlockChangeEvent = true;
    SetValue(V);
}

void TIntegerSpin::SetMinValue(std::int64_t M)
{
    if (M == FMinValue)
        return;
    if (Value() < M)
        SetValue(M);
    FMinValue = M;
}

void TIntegerSpin::SetMaxValue(std::int64_t M)
{
    if (M == FMaxValue)
        return;
    if (Value() > M)
        SetValue(M);
    FMaxValue = M;
}

void TIntegerSpin::SetHexMode(bool Mode)
{
    if (Mode == FHexMode)
        return;
    const std::int64_t V = Value();
    FHexMode = Mode;
    SetValue(V);
}

void TIntegerSpin::SetHexDigits(int Digits)
{
    if (Digits == FHexDigits)
        return;
    const std::int64_t V = Value();
    FHexDigits = Digits;
    SetValue(V);
}

void TIntegerSpin::Step(bool Up)
{
    if (isReadOnly()) {
        SpinBeep();
        return;
    }
    std::int64_t V = Value();
    if (OwnerIncrement) {
        if (OnIncrement)
            OnIncrement(this, Up, V);
    } else {
        const std::int64_t Delta = SaturatingMul(Increment, CtrlDown() ? 10 : 1);
        V = Up ? SaturatingAdd(V, Delta) : SaturatingAdd(V, Delta == Int64Min ? Int64Max : -Delta);
    }
    SetValue(V);
}

void TIntegerSpin::UpClick() { Step(true); }

void TIntegerSpin::DownClick() { Step(false); }

bool TIntegerSpin::IsValidChar(char Key) const
{
    bool Allowed;
    if (FHexMode)
        Allowed = HexDigitValue(Key) >= 0;
    else
        Allowed = Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || Key == SystemData.DecimalSeparator();
    return AcceptChar(Key, Allowed);
}

void TIntegerSpin::focusOutEvent(QFocusEvent* Event)
{
    TCustomSpin::focusOutEvent(Event);
    if (text().isEmpty())
        SetValue(FLastValid);
    SetValue(Value());
}

}  // namespace narvo
