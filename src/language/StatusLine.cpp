// The status line's model (see StatusLine.h).
#include "language/StatusLine.h"

#include "engine/EditorEngine.h"
#include "language/AppState.h"
#include "language/CommandHost.h"
#include "shared/HexText.h"
#include "shared/SystemData.h"

#include <cmath>
#include <cstdio>

namespace narvo {

namespace {

std::string GMessage;
bool GError = false;
std::uint64_t GSerial = 0;

}  // namespace

const std::string& StatusMessage() { return GMessage; }
bool StatusMessageIsError() { return GError; }
std::uint64_t StatusMessageSerial() { return GSerial; }

void SetStatusMessage(const std::string& Text, bool IsError)
{
    if (GError && IsError)
        return;
    GMessage = Text;
    GError = IsError;
    ++GSerial;
}

void ShowStatusMessage(const std::string& Text, bool IsError)
{
    SetStatusMessage(Text, IsError);
    if (TCommandHost* Host = CommandHost())
        Host->ShowStatusText();
}

void ShowOk() { ShowStatusMessage("Ok", false); }

bool EditStatusMessage(TEditStatus Code, std::string& Text, bool& IsError)
{
    struct TEntry {
        const char* Text;
        bool Error;
    };
    static constexpr TEntry Table[] = {
        {"Ok", false},         {"Not Found", true},   {"Start", true},        {"End", true},
        {"Undo Empty", false}, {"Redo Empty", false}, {"Bad Position", true},
    };
    if (Code >= std::size(Table))
        return false;
    Text = Table[Code].Text;
    IsError = Table[Code].Error;
    return true;
}

void ShowEditorStatus(TEditStatus& Code)
{
    std::string Text;
    bool IsError = false;
    if (EditStatusMessage(Code, Text, IsError))
        SetStatusMessage(Text, IsError);
    Code = edDone;
}

void UpdateStatus()
{
    if (TCommandHost* Host = CommandHost())
        Host->UpdateStatus();
}

std::string FormatWhole(std::int64_t N)
{
    // The same grouping as the line-number column.
    return GroupedWhole(N);
}

std::string FormatTwoDecimals(double Value)
{
    if (!std::isfinite(Value))
        return "-";
    const double Hundredths = std::round(std::fabs(Value) * 100.0);
    if (Hundredths >= 9.0e18)
        return "-";
    const auto H = static_cast<std::uint64_t>(Hundredths);
    char Cents[4];
    std::snprintf(Cents, sizeof Cents, "%02u", static_cast<unsigned>(H % 100));
    // H is below 9e18, so the whole part fits a signed 64-bit number.
    std::string S = GroupedWhole(static_cast<std::int64_t>(H / 100));
    S.push_back(SystemData.DecimalSeparator());
    S += Cents;
    return (Value < 0 && H != 0) ? "-" + S : S;
}

std::string CursorCharText(const TEditorEngine& Pane)
{
    char C = 0;
    if (!Pane.CharBefore(Pane.Cursor->Pos(), C) || C == 0)
        return "-";
    std::string Text = "$";
    Text += StrToHexStr(std::string_view(&C, 1));
    return Text;
}

TStatusFields ComputeStatusFields(const TEditorEngine& Active, double ActiveScale, const TEditorEngine& Main,
                                  int CommandLine, const std::string& BoxChar)
{
    TStatusFields F;
    F.StatusDis = " " + GMessage;
    F.CmdNumberDis = std::to_string(CommandLine);
    F.SrchCase = IgnoreCaseFlag;
    F.FileType = Main.Strings->Encoding != 0;
    F.SrchDir = ForwardFlag;
    F.WordSearch = WholeWordFlag;
    F.OverWrite = Active.Overwrite;
    F.Wrap = WrapFlag;
    F.BoxCharDis = BoxChar;
    const TPoint P = Active.Cursor->Pos();
    F.LineNumDis = FormatWhole(P.Y + 1);
    F.ColumnDis = FormatWhole(Active.DisplayColumn(P, true));
    F.HighlightDis = FormatWhole(Active.HasMark() ? Active.MarkedLength() : 0);
    F.ZoomDis = FormatTwoDecimals(ActiveScale);
    // "Mod" and the Save button are about the text the active pane shows: a pane that
    // shares the main text marks the main pane modified, a pane with a file of its
    // own (the secondary file) carries its own flag, and Save writes that file.
    const bool Modified = Active.Strings == Main.Strings ? Main.Modified : Active.Modified;
    F.ModifiedDis = Modified ? "Mod" : "";
    F.SaveEnabled = Modified;
    F.CharHexDis = CursorCharText(Active);
    return F;
}

}  // namespace narvo
