// The real spin edit (see RealSpin.h).
#include "components/RealSpin.h"

#include "platform/KeyState.h"
#include "platform/Locale.h"
#include "shared/NumberScan.h"
#include "shared/SystemData.h"

#include <QEvent>
#include <QFocusEvent>
#include <cmath>
#include <cstdio>

namespace narvo {

namespace {

std::string Printf(const char* Format, int Digits, double V)
{
    char Buffer[512];
    const int N = std::snprintf(Buffer, sizeof Buffer, Format, Digits, V);
    if (N >= 0 && static_cast<std::size_t>(N) < sizeof Buffer)
        return std::string(Buffer, static_cast<std::size_t>(N));
    std::string Big(static_cast<std::size_t>(N) + 1, '\0');
    std::snprintf(Big.data(), Big.size(), Format, Digits, V);
    Big.resize(static_cast<std::size_t>(N));
    return Big;
}

void ReplaceDecimalPoint(std::string& S, char Decimal)
{
    const std::size_t P = S.find('.');
    if (P != std::string::npos)
        S[P] = Decimal;
}

// "1.2340E+01" with at least four exponent digits: "1.2340E+0001".
void WidenExponent(std::string& S)
{
    const std::size_t E = S.find('E');
    if (E == std::string::npos || E + 1 >= S.size())
        return;
    const std::size_t DigitsAt = E + 2;
    const std::size_t Count = S.size() - DigitsAt;
    if (Count < 4)
        S.insert(DigitsAt, 4 - Count, '0');
}

void GroupThousands(std::string& S, char Thousand)
{
    if (Thousand == 0)
        return;
    std::size_t Start = S[0] == '-' ? 1 : 0;
    std::size_t End = Start;
    while (End < S.size() && S[End] >= '0' && S[End] <= '9')
        ++End;
    for (std::size_t P = End; P > Start + 3; P -= 3)
        S.insert(P - 3, 1, Thousand);
}

}  // namespace

TRealSpin::TRealSpin(QWidget* Parent) : TCustomSpin(Parent)
{
    Button()->OnUpClick = [this](QObject*) { UpClick(); };
    Button()->OnDownClick = [this](QObject*) { DownClick(); };
    FLastValid = FValue;
}

std::string TRealSpin::FormatReal(double V, TNumberFormat Format, int Digits, char Decimal, char Thousand)
{
    if (!std::isfinite(V))
        return std::isnan(V) ? "NAN" : (V > 0 ? "INF" : "-INF");
    Digits = std::max(0, std::min(Digits, 18));
    std::string S;
    switch (Format) {
    case nfScientific:
        S = Printf("%.*E", std::max(Digits, 1) - 1, V);
        WidenExponent(S);
        break;
    case nfFixed:
        S = Printf("%.*f", Digits, V);
        break;
    case nfThousands:
        S = Printf("%.*f", Digits, V);
        GroupThousands(S, Thousand);
        break;
    case nfStandard:
    default:
        S = Printf("%.*G", 15, V);
        break;
    }
    if (S == "-0" || S.rfind("-0.", 0) == 0) {
        // A negative zero reads as zero.
        bool AllZero = true;
        for (char C : S)
            if (C >= '1' && C <= '9')
                AllZero = false;
        if (AllZero)
            S.erase(0, 1);
    }
    ReplaceDecimalPoint(S, Decimal);
    return S;
}

std::optional<double> TRealSpin::ParseReal(const std::string& Text, char Decimal, char Thousand)
{
    std::string S;
    S.reserve(Text.size());
    for (char C : Text)
        if (Thousand == 0 || C != Thousand)
            S.push_back(C);
    try {
        const double V = StrToFloat(S, Decimal);
        if (!std::isfinite(V))
            return std::nullopt;
        return V;
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

double TRealSpin::ApplyLimits(double V)
{
    if (!UseLimit || std::isnan(V))
        return UseLimit && std::isnan(V) ? FMinValue : V;
    const bool CanWrap = Wrap && FMinValue < FMaxValue;
    const double Period = FMaxValue - FMinValue;
    const double In = V;
    if (In >= FMaxValue) {
        if (CanWrap && std::isfinite(In)) {
            V = FMinValue + std::fmod(In - FMinValue, Period);
            DoWrap(wmUp);
        } else {
            V = FMaxValue;
        }
    }
    if (In < FMinValue) {
        if (CanWrap && std::isfinite(In)) {
            const double R = std::fmod(FMinValue - In, Period);
            V = R == 0 ? FMinValue : FMaxValue - R;
            DoWrap(wmDown);
        } else {
            V = FMinValue;
        }
    }
    return V;
}

void TRealSpin::ShowValue()
{
    setText(QString::fromStdString(FormatReal(FValue, FNumFormat, FDigits, SystemData.DecimalSeparator(),
                                              SystemData.ThousandSeparator())));
}

void TRealSpin::SetValue(double V)
{
    V = ApplyLimits(V);
    FLastValid = V;
    FValue = V;
    ShowValue();
}

void TRealSpin::Change()
{
    const std::optional<double> V =
        ParseReal(text().toStdString(), SystemData.DecimalSeparator(), SystemData.ThousandSeparator());
    if (V)
        FLastValid = *V;
    FValue = V ? *V : FLastValid;
    TCustomSpin::Change();
}

void TRealSpin::SetMinValue(double M)
{
    if (M == FMinValue)
        return;
    if (FValue < M)
        SetValue(M);
    FMinValue = M;
}

void TRealSpin::SetMaxValue(double M)
{
    if (M == FMaxValue)
        return;
    if (FValue > M)
        SetValue(M);
    FMaxValue = M;
}

void TRealSpin::SetDigits(int Value)
{
    if (Value == FDigits || Value < 0)
        return;
    FDigits = Value;
    SetValue(FValue);
}

void TRealSpin::SetNumFormat(TNumberFormat Value)
{
    if (Value == FNumFormat)
        return;
    FNumFormat = Value;
    SetValue(FValue);
}

void TRealSpin::Step(bool Up)
{
    if (isReadOnly()) {
        SpinBeep();
        return;
    }
    double V = FValue;
    if (OwnerIncrement) {
        if (OnIncrement)
            OnIncrement(this, Up, V);
    } else {
        const double Delta = (CtrlDown() ? 10.0 : 1.0) * Increment;
        V = Up ? V + Delta : V - Delta;
    }
    SetValue(V);
}

void TRealSpin::UpClick() { Step(true); }

void TRealSpin::DownClick() { Step(false); }

bool TRealSpin::IsValidChar(char Key) const
{
    const char Thousand = SystemData.ThousandSeparator();
    const bool Allowed = Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || Key == 'E' || Key == 'e' ||
                         Key == SystemData.DecimalSeparator() || (Thousand != 0 && Key == Thousand);
    return AcceptChar(Key, Allowed);
}

void TRealSpin::focusOutEvent(QFocusEvent* Event)
{
    TCustomSpin::focusOutEvent(Event);
    if (text().isEmpty())
        SetValue(FLastValid);
    SetValue(FValue);
}

void TRealSpin::SettingsChanged()
{
    const TSeparatorGuard Previous;
    SetLocaleSeparators(true);
    ShowValue();
}

void TRealSpin::changeEvent(QEvent* Event)
{
    TCustomSpin::changeEvent(Event);
    if (Event->type() == QEvent::LocaleChange)
        SettingsChanged();
}

}  // namespace narvo
