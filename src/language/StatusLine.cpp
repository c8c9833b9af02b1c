// The status line's model (see StatusLine.h).
#include "language/StatusLine.h"

#include "engine/EditorEngine.h"
#include "engine/UndoRing.h"
#include "language/AppState.h"
#include "language/CommandHost.h"
#include "shared/HexText.h"
#include "shared/SystemData.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

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

void ShowGroupEnd(const TUndoControl& Ring)
{
    // Losing the undo matters more than how the changes ended.
    if (Ring.GroupLost())
        ShowStatusMessage(UndoLostMessage, false);
}

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

namespace {

constexpr const char* Ellipsis = "...";

// The paths of a message, as [start, end) byte ranges: the inside of each quoted
// text that holds '/', and each unquoted word that begins with '/'.
std::vector<std::pair<std::size_t, std::size_t>> PathSpans(const std::string& Text)
{
    std::vector<std::pair<std::size_t, std::size_t>> Spans;
    std::size_t I = 0;
    while (I < Text.size()) {
        if (Text[I] == '"') {
            const std::size_t Close = Text.find('"', I + 1);
            if (Close == std::string::npos)
                break;
            if (Text.find('/', I + 1) < Close)
                Spans.emplace_back(I + 1, Close);
            I = Close + 1;
        } else if (Text[I] == '/' && (I == 0 || Text[I - 1] == ' ' || Text[I - 1] == '(')) {
            std::size_t End = I;
            while (End < Text.size() && Text[End] != ' ' && Text[End] != '"')
                ++End;
            Spans.emplace_back(I, End);
            I = End;
        } else {
            ++I;
        }
    }
    return Spans;
}

// The largest N in [0, Most] for which Fits(N) holds, Fits growing with N; -1 when
// even 0 does not fit.
template <class F>
std::int64_t LargestFitting(std::size_t Most, F&& Fits)
{
    std::int64_t Low = -1, High = static_cast<std::int64_t>(Most);
    while (Low < High) {
        const std::int64_t Mid = Low + (High - Low + 1) / 2;
        if (Fits(static_cast<std::size_t>(Mid)))
            Low = Mid;
        else
            High = Mid - 1;
    }
    return Low;
}

}  // namespace

std::string FitStatusText(const std::string& Text, int Room, const std::function<int(const std::string&)>& WidthOf)
{
    if (WidthOf(Text) <= Room)
        return Text;
    std::string Shown = Text;
    auto Spans = PathSpans(Text);
    // The longest path gives way first; each keeps its file name as long as it can.
    std::vector<std::size_t> Order(Spans.size());
    for (std::size_t I = 0; I < Order.size(); ++I)
        Order[I] = I;
    std::sort(Order.begin(), Order.end(), [&](std::size_t A, std::size_t C) {
        const std::size_t LenA = Spans[A].second - Spans[A].first, LenC = Spans[C].second - Spans[C].first;
        return LenA != LenC ? LenA > LenC : A < C;
    });
    for (const std::size_t J : Order) {
        const auto [B, E] = Spans[J];
        const std::string Path = Shown.substr(B, E - B);
        if (Path.size() <= std::char_traits<char>::length(Ellipsis))
            continue;  // no shorter with "..." in its place
        const std::size_t Slash = Path.rfind('/');
        const std::size_t Name = Slash == std::string::npos ? 0 : Path.size() - Slash;
        // Keeping K of the path's bytes: the file name's end first, then its start.
        const auto Kept = [&](std::size_t K) {
            const std::size_t Tail = std::min(K, Name);
            return Shown.substr(0, B) + Path.substr(0, K - Tail) + Ellipsis + Path.substr(Path.size() - Tail) +
                   Shown.substr(E);
        };
        const std::int64_t K = LargestFitting(Path.size() - 1, [&](std::size_t N) { return WidthOf(Kept(N)) <= Room; });
        if (K >= 0)
            return Kept(static_cast<std::size_t>(K));
        // Not even "..." alone makes room: the path keeps just its file name, which
        // tells more than the message's end, and the paths after it move.
        if (Name + std::char_traits<char>::length(Ellipsis) >= Path.size())
            continue;
        const std::string Next = Kept(Name);
        const std::size_t Given = Shown.size() - Next.size();
        Shown = Next;
        for (auto& [OtherB, OtherE] : Spans)
            if (OtherB >= E) {
                OtherB -= Given;
                OtherE -= Given;
            }
    }
    // No path, or not enough: the end gives way.
    const std::int64_t K =
        LargestFitting(Shown.size(), [&](std::size_t N) { return WidthOf(Shown.substr(0, N) + Ellipsis) <= Room; });
    return Shown.substr(0, static_cast<std::size_t>(std::max<std::int64_t>(K, 0))) + Ellipsis;
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
