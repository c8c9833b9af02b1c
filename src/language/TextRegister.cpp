// The text register (see TextRegister.h).
#include "language/TextRegister.h"

#include "engine/ClipboardAccess.h"
#include "engine/LineBreakText.h"
#include "language/StatusLine.h"

#include <algorithm>

namespace narvo {

namespace {

// A bare CR becomes CR LF; an existing CR LF stays as it is.
std::string ToClipboardLineEnds(const std::string& S)
{
    std::string Out;
    Out.reserve(S.size() + S.size() / 16);
    for (std::size_t I = 0; I < S.size(); ++I) {
        Out.push_back(S[I]);
        if (S[I] == '\r' && (I + 1 >= S.size() || S[I + 1] != '\n'))
            Out.push_back('\n');
    }
    return Out;
}

}  // namespace

TXRegister::TXRegister(TEditorEngine* AEditor) : Editor(AEditor) { Clear(); }

void TXRegister::Changed()
{
    if (OnChange)
        OnChange();
}

void TXRegister::Clear()
{
    FCount = 0;
    FMode = 0;
    FDropped = 0;
    Changed();
}

std::string TXRegister::HeadText(std::int64_t N) const
{
    N = std::clamp<std::int64_t>(N, 0, FCount);
    std::string S(static_cast<std::size_t>(N), '\0');
    for (std::int64_t I = 0; I < N; ++I)
        S[static_cast<std::size_t>(I)] = FData.GetItem(FCount - 1 - I);
    return S;
}

std::string TXRegister::GetText() const { return HeadText(FCount); }

bool TXRegister::AddChar(char C)
{
    if (FCount >= Capacity)
        return false;
    FData.Put(FCount++, C);
    Changed();
    return true;
}

bool TXRegister::AddText(const std::string& Text)
{
    const auto N = static_cast<std::int64_t>(Text.size());
    const std::int64_t Fit = std::min(N, Capacity - FCount);
    for (std::int64_t I = 0; I < Fit; ++I)
        FData.Put(FCount++, Text[static_cast<std::size_t>(N - 1 - I)]);
    FDropped += N - Fit;
    Changed();
    return Fit == N;
}

void TXRegister::AddPassedText(TEditorEngine& Pane, TRect Range)
{
    AddText(Pane.GetRangeText(Pane.ClampRange(Range)));
}

void TXRegister::ScoopEvent(TEditorEngine& Pane, TScoopCommand Command, TRect Range)
{
    if (FMode != 1 || FColumnScoop)
        return;
    switch (Command) {
    case scmBackward:
        AddPassedText(Pane, Range);
        break;
    case scmForward: {
        std::int64_t N = Pane.RangeLength(Pane.ClampRange(Range));
        const std::int64_t FromDropped = std::min(N, FDropped);
        FDropped -= FromDropped;
        N -= FromDropped;
        if (N > FCount) {
            FCount = 0;
            ScoopOff(Pane, false);
        } else {
            FCount -= N;
        }
        Changed();
        break;
    }
    case scmStop:
        ScoopOff(Pane, false);
        break;
    }
}

void TXRegister::InsertIntoEditor()
{
    // The register holds scooped text as the pane held it and clipboard text and
    // column blocks with CR LF line ends: an LF alone is a character of its line.
    if (Editor)
        Editor->InsertTextEx(CrLfToCr(GetText()), true, TInsertBreaks::CrOnly);
}

void TXRegister::InsertLinesIntoEditor()
{
    FMode = 0;
    if (Editor)
        Editor->InsertColumnBlock(GetText());
}

void TXRegister::CopyToClipboard() const { ClipboardAccess().SetText(ToClipboardLineEnds(GetText())); }

void TXRegister::AddFromClipboard()
{
    AddText(ClipboardAccess().GetText(Editor ? Editor->PasteCodePage() : TCodePage::Ansi));
}

void TXRegister::AddColumnBlock(TEditorEngine& Pane, TRect Rect)
{
    FMode = 0;
    AddText(Pane.GetBlockText(Rect));
}

void TXRegister::BlankBlock(TEditorEngine& Pane, TRect Rect) { Pane.FillBlock(Rect, ' ', true); }

void TXRegister::ScoopOn(TEditorEngine& Pane, bool Column)
{
    Pane.ClearMark();
    Pane.RequestRedraw(false);
    FColumnScoop = Column;
    FDropped = 0;
    if (!Pane.MarkingMode) {
        Pane.MarkingMode = true;
        Pane.MarkAnchor = Pane.Cursor->Pos();
    }
    Pane.Anchored = false;
    Pane.Cursor->ColumnBlock = Column;
    FMode = Column ? 0 : 1;
    if (OnIndicator)
        OnIndicator(Column ? 2 : 1);
    FScoopStart = Pane.Cursor->Pos();
}

void TXRegister::ScoopOff(TEditorEngine& Pane, bool Blank)
{
    Pane.MarkingMode = false;
    Pane.Cursor->ColumnBlock = false;
    // The scoop's own highlight goes; a search match made meanwhile stays, so that
    // the replacement which follows a search still finds its match.
    if (FMode == 1 && !Pane.HighLight->Found)
        Pane.ClearMark();
    FMode = 0;
    if (OnIndicator)
        OnIndicator(0);
    ShowStatusMessage("Ok", false);
    if (FColumnScoop) {
        const TRect R = TEditorEngine::NormalizeRange(TRect{Pane.Cursor->X, Pane.Cursor->Y, FScoopStart.X, FScoopStart.Y});
        AddColumnBlock(Pane, R);
        if (Blank)
            BlankBlock(Pane, R);
        Pane.ClearMark();
    }
    FColumnScoop = false;
    Pane.RequestRedraw(false);
}

}  // namespace narvo
