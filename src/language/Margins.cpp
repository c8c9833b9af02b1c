// Margins and wrap while typing (see Margins.h).
#include "language/Margins.h"

#include "language/AppState.h"
#include "platform/posix/ProcessMemory.h"

#include <algorithm>

namespace narvo {

namespace {

bool IsBlankLine(std::string_view S)
{
    return std::all_of(S.begin(), S.end(), [](char C) { return C == ' ' || C == '\t'; });
}

std::size_t LeadingControlCount(std::string_view S)
{
    std::size_t I = 0;
    while (I < S.size() && static_cast<unsigned char>(S[I]) <= ' ')
        ++I;
    return I;
}

// The 1-based index of the blank that ends the next output line of Rest: the last
// blank within the first Limit + 1 characters, else the first one after them, else
// one past the end. Rest is only searched where the line can end, so a reflow is
// linear.
std::int64_t OutputLineBreak(std::string_view Rest, std::int64_t PrefixSize, std::int64_t Width)
{
    const auto Len = static_cast<std::int64_t>(Rest.size());
    const std::int64_t Limit = Width - PrefixSize;
    std::int64_t Brk = 0;
    if (Limit < Len) {
        if (Limit >= 0) {
            const std::size_t P = Rest.rfind(' ', static_cast<std::size_t>(Limit));
            if (P != std::string_view::npos)
                Brk = static_cast<std::int64_t>(P) + 1;
        }
        if (Brk == 0) {
            const std::size_t P = Rest.find(' ', static_cast<std::size_t>(std::max<std::int64_t>(Limit + 1, 0)));
            if (P != std::string_view::npos)
                Brk = static_cast<std::int64_t>(P) + 1;
        }
    }
    return Brk == 0 ? Len + 1 : Brk;
}

// Appends the next output line of Rest to Out and advances Rest past it and the
// blank that ends it.
void AppendOutputLine(std::string& Out, std::string_view& Rest, const std::string& Prefix, std::int64_t Width)
{
    const std::int64_t Brk = OutputLineBreak(Rest, static_cast<std::int64_t>(Prefix.size()), Width);
    Out += Prefix;
    Out.append(Rest.substr(0, static_cast<std::size_t>(Brk - 1)));
    Rest.remove_prefix(static_cast<std::size_t>(std::min<std::int64_t>(Brk, static_cast<std::int64_t>(Rest.size()))));
}

// The size of the lines that AppendOutputLine makes of Rest, CRs between them
// included: a margin before every word may make them many times Rest's size.
std::int64_t OutputLinesSize(std::string_view Rest, std::int64_t FirstPad, std::int64_t RestPad, std::int64_t Width,
                             TLongStep& Step)
{
    std::int64_t Size = 0;
    for (bool First = true; !Rest.empty(); First = false) {
        const std::int64_t Pad = First ? FirstPad : RestPad;
        const std::int64_t Brk = OutputLineBreak(Rest, Pad, Width);
        Size += (First ? 0 : 1) + Pad + Brk - 1;
        Rest.remove_prefix(static_cast<std::size_t>(std::min<std::int64_t>(Brk, static_cast<std::int64_t>(Rest.size()))));
        if (!Step.Going(static_cast<std::size_t>(Brk)))
            return 0;
    }
    return Size;
}

TPoint CursorOnText(const TEditorEngine& Pane) { return Pane.ClampPos(Pane.Cursor->Pos()); }

}  // namespace

std::string MarginBlanks(std::int64_t N)
{
    return std::string(static_cast<std::size_t>(std::clamp<std::int64_t>(N, 0, MaxMarginBlanks)), ' ');
}

// --- output-line rules ---------------------------------------------------------------------

std::string TakeOutputLine(std::string_view& Rest, const std::string& Prefix, std::int64_t Width)
{
    std::string Out;
    AppendOutputLine(Out, Rest, Prefix, Width);
    return Out;
}

std::string TakeOutputLine(std::string& Rest, const std::string& Prefix, std::int64_t Width)
{
    std::string_view V(Rest);
    std::string Out = TakeOutputLine(V, Prefix, Width);
    Rest.erase(0, Rest.size() - V.size());
    return Out;
}

TReflow::TReflow(std::string_view Text, std::int64_t Left, std::int64_t Width, std::int64_t Indent)
    : FFirstPad(MarginBlanks(Indent + Left)), FRestPad(MarginBlanks(Left)), FWidth(Width),
      FEndsWithCR(!Text.empty() && Text.back() == '\r')
{
    // One pass: tabs and line breaks become blanks and each run of blanks one blank.
    // An LF is a line break here too, so that none is left to split a reflowed line.
    FWords.reserve(Text.size());
    for (const char C : Text) {
        const char B = (C == '\t' || C == '\r' || C == '\n') ? ' ' : C;
        if (B == ' ' && !FWords.empty() && FWords.back() == ' ')
            continue;
        FWords.push_back(B);
    }
    // No output line ends in a blank, the last one included.
    if (!FWords.empty() && FWords.back() == ' ')
        FWords.pop_back();
    FRest = FWords;
    FRest.remove_prefix(LeadingControlCount(FRest));
}

std::int64_t TReflow::Size(TLongStep& Step) const
{
    return OutputLinesSize(FRest, static_cast<std::int64_t>(FFirstPad.size()), static_cast<std::int64_t>(FRestPad.size()),
                           FWidth, Step) +
           (FEndsWithCR ? 1 : 0);
}

bool TReflow::Next(std::string& Out, std::size_t Most, TLongStep& Step)
{
    if (FDone)
        return false;
    const std::size_t Start = Out.size();
    while (!FRest.empty()) {
        if (!FFirst)
            Out.push_back('\r');
        const std::size_t Before = Out.size();
        AppendOutputLine(Out, FRest, FFirst ? FFirstPad : FRestPad, FWidth);
        FFirst = false;
        if (!Step.GoingOn(Out.size() - Before)) {
            FDone = true;
            return false;
        }
        if (Out.size() - Start >= Most)
            return true;
    }
    if (FEndsWithCR)
        Out.push_back('\r');
    FDone = true;
    return false;
}

std::string ReflowText(std::string_view Text, std::int64_t Left, std::int64_t Width, std::int64_t Indent,
                       TLongStep* Step)
{
    TLongStep Unstoppable;
    TLongStep& S = Step ? *Step : Unstoppable;
    TReflow R(Text, Left, Width, Indent);
    // The whole result is sized before it is built, so a result the memory cannot
    // hold is refused with the text untouched.
    const std::int64_t Size = R.Size(S);
    if (S.Stopped())
        return {};
    NeedRoomToBuild(Size);
    std::string Out;
    Out.reserve(static_cast<std::size_t>(Size));
    while (R.Next(Out, SIZE_MAX, S)) {
    }
    if (S.Stopped())
        return {};
    return Out;
}

std::int64_t FindWrapBlank(const std::string& Line, std::int64_t Col)
{
    Col = std::min<std::int64_t>(Col, static_cast<std::int64_t>(Line.size()));
    for (std::int64_t K = 0; K < WrapLookBack && Col >= 1; ++K, --Col)
        if (Line[static_cast<std::size_t>(Col - 1)] == ' ')
            return Col;
    return 0;
}

bool BreakLineAtSpace(std::string& Line, std::int64_t Col, std::int64_t& NewCol, std::int64_t Left)
{
    const std::int64_t B = FindWrapBlank(Line, Col);
    if (B == 0)
        return false;
    const std::string Pad = MarginBlanks(Left);
    Line.replace(static_cast<std::size_t>(B - 1), 1, "\r" + Pad);
    NewCol = NewCol - B + static_cast<std::int64_t>(Pad.size());
    return true;
}

std::string CenteredLine(const std::string& Line, std::int64_t Left, std::int64_t Right)
{
    const std::string S = Line.substr(LeadingControlCount(Line));
    const auto N = std::count_if(S.begin(), S.end(), [](char C) {
        const auto U = static_cast<unsigned char>(C);
        return U >= 32 && U <= 254;
    });
    // Integer division truncates toward zero, as the centring rule wants.
    const std::int64_t Pad = Left + (Right - Left - static_cast<std::int64_t>(N) + 1) / 2;
    return MarginBlanks(Pad) + S;
}

// --- pane routines ---------------------------------------------------------------------------

void HighlightForReplacement(TEditorEngine& Pane, TPoint From, TPoint To)
{
    Pane.Anchored = false;
    Pane.SetStreamHighlight(From, To);
}

void HighlightParagraph(TEditorEngine& Pane)
{
    const TEditBuffer& B = *Pane.Strings;
    const std::int64_t Y = CursorOnText(Pane).Y;
    std::int64_t First = Y, Last = Y;
    if (!IsBlankLine(B[Y])) {
        while (First > 0 && !IsBlankLine(B[First - 1]))
            --First;
        while (Last + 1 < B.Count() && !IsBlankLine(B[Last + 1]))
            ++Last;
    }
    HighlightForReplacement(Pane, TPoint{0, First}, TPoint{B.LineLength(Last), Last});
}

void IndentToLeftMargin(TEditorEngine& Pane)
{
    const std::string Pad = MarginBlanks(LeftMargin);
    if (!Pad.empty())
        Pane.InsertText(Pad);
}

bool AutoWrapLine(TEditorEngine& Pane)
{
    const TPoint C = CursorOnText(Pane);
    if (Pane.DisplayColumn(C, true) <= RightMargin)
        return false;
    const std::string Line((*Pane.Strings)[C.Y]);
    const std::int64_t B = FindWrapBlank(Line, C.X);
    if (B == 0)
        return false;
    // Only the blank and the word typed after it are replaced, so the cursor ends
    // behind that word and the change, cursor included, is one undo group. The
    // rest of the line stays as it stands.
    const std::string Word = Line.substr(static_cast<std::size_t>(B), static_cast<std::size_t>(C.X - B));
    if (Word.find('\n') != std::string::npos)
        return false;  // an LF character would become a line break
    HighlightForReplacement(Pane, TPoint{B - 1, C.Y}, C);
    std::string Text(1, '\r');
    Text += MarginBlanks(LeftMargin);
    Text += Word;
    Pane.InsertText(Text);
    return true;
}

void AfterTypedChar(TEditorEngine& Pane, char Ch)
{
    if (!WrapFlag)
        return;
    if (Ch == '\r')
        IndentToLeftMargin(Pane);
    else
        AutoWrapLine(Pane);
}

void ToggleWrapCmd(TEditorEngine& Pane)
{
    WrapFlag = !WrapFlag;
    if (WrapFlag)
        AutoWrapLine(Pane);
}

void CenterLineCmd(TEditorEngine& Pane)
{
    const std::int64_t Y = CursorOnText(Pane).Y;
    const std::string Line((*Pane.Strings)[Y]);
    const std::string S = CenteredLine(Line, LeftMargin, RightMargin);
    HighlightForReplacement(Pane, TPoint{0, Y}, TPoint{static_cast<std::int64_t>(Line.size()), Y});
    // The line's characters go back as they are (an LF in it stays a character).
    Pane.InsertTextEx(S, true, true);
}

void RemarginParagraph(TEditorEngine& Pane, std::int64_t Left, std::int64_t Right, std::int64_t Indent)
{
    // A search match is not text the user chose to remargin.
    if (Pane.HighLight->Found)
        Pane.ClearMark();
    const bool HadMark = Pane.HasMark();
    if (!HadMark) {
        const TEditBuffer& B = *Pane.Strings;
        const TPoint C = CursorOnText(Pane);
        // An empty line after an empty line (and not the last line): one goes per call.
        if (C.X == 0 && C.Y >= 1 && C.Y + 1 < B.Count() && B[C.Y].empty() && B[C.Y - 1].empty()) {
            Pane.DeleteChar();
            return;
        }
        HighlightParagraph(Pane);
    }
    const std::string Text = Pane.GetMarkedText();
    if (!Text.empty()) {
        TLongStep Step(Pane);
        const THighLight Marked = *Pane.HighLight;
        TReflow Lines(Text, Left, Right, Indent);
        const std::int64_t Size = Lines.Size(Step);
        bool Done = false;
        if (!Step.Stopped()) {
            // The lines the paragraph and its undo record will hold; the reflowed
            // text itself is made and put in a piece at a time, and once it goes in,
            // a stop takes back what went in only when that can be done.
            NeedRoomToBuild(Size);
            TLongStep Unstoppable;
            TLongStep& Making = Pane.StepsCanBeTakenBack() ? Step : Unstoppable;
            Done = Pane.InsertPiecesWhole([&](std::string& Piece, std::size_t Most) { return Lines.Next(Piece, Most, Making); },
                                          [&] { return Making.Broken(); });
        }
        if (!Done) {
            Step.Stop();
            // Nothing changed; the paragraph this step highlighted is let go.
            if (!HadMark && Pane.HighLight->StartPos == Marked.StartPos && Pane.HighLight->EndPos == Marked.EndPos) {
                Pane.ClearMark();
                // A look may have painted the paragraph highlighted meanwhile.
                Pane.RequestRedraw(false);
            }
            return;
        }
    }
    Pane.CursorRight();
}

void RemarginParagraph(TEditorEngine& Pane) { RemarginParagraph(Pane, LeftMargin, RightMargin, ParaIndent); }

void UnwrapParagraph(TEditorEngine& Pane) { RemarginParagraph(Pane, 0, UnwrapWidth, 0); }

}  // namespace narvo
