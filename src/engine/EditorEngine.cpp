// Construction of an editor pane's text model, its state and hooks, and the
// execution of undo and redo records.
#include "engine/EditorEngine.h"
#include "platform/posix/ProcessMemory.h"

namespace narvo {

TEditorEngine::TEditorEngine()
    : Strings(std::make_shared<TEditBuffer>()),
      Cursor(std::make_shared<TCursorObject>()),
      HighLight(std::make_shared<THighLight>()),
      UndoList(std::make_shared<TUndoControl>()),
      RedoList(std::make_shared<TUndoControl>()),
      Searcher(std::make_shared<TListSearcher>(*Strings))
{
    HookParts();
    ResetText();
    ChangeCount = 0;
    Modified = false;
}

TEditorEngine::~TEditorEngine()
{
    // Parts shared with another pane may outlive this one: unhook what points back
    // here. A pane that only borrows the parts installed no hooks.
    if (!Shared)
        UnhookParts();
}

void TEditorEngine::HookParts()
{
    Strings->OnChange = [this] { SetModified(true); };
    UndoList->OnExecute = [this](TUndoItem& Item, bool Last) { ExecuteUndoItem(Item, Last, true); };
    UndoList->OnChange = [this] { RedoList->Clear(); };
    RedoList->OnExecute = [this](TUndoItem& Item, bool Last) { ExecuteUndoItem(Item, Last, false); };
    Strings->OnLinesChanging = [this](std::int64_t A, std::int64_t B) { FSpan.Changing(*Strings, A, B); };
    Strings->OnLinesChanged = [this](std::int64_t A, std::int64_t B, std::int64_t M) { FSpan.Changed(A, B, M); };
    UndoList->OnGroupBegin = [this] { FSpan.Start(Cursor->Pos()); };
    UndoList->OnGroupEnd = [this] { FSpan.Stop(); };
    UndoList->OnGroupKept = [this] { return KeptGroupRecords(); };
    UndoList->OnCleared = [this] { SpanFromNewText(); };
}

void TEditorEngine::UnhookParts()
{
    Strings->OnChange = nullptr;
    Strings->OnLinesChanging = nullptr;
    Strings->OnLinesChanged = nullptr;
    UndoList->OnExecute = nullptr;
    UndoList->OnChange = nullptr;
    UndoList->OnGroupBegin = nullptr;
    UndoList->OnGroupEnd = nullptr;
    UndoList->OnGroupKept = nullptr;
    UndoList->OnCleared = nullptr;
    RedoList->OnExecute = nullptr;
}

void TEditorEngine::ShareBuffer(TEditorEngine& Source)
{
    if (Shared || &Source == this)
        return;
    Strings = Source.Strings;
    Cursor = Source.Cursor;
    HighLight = Source.HighLight;
    UndoList = Source.UndoList;
    RedoList = Source.RedoList;
    Searcher = Source.Searcher;
    Shared = true;
}

void TEditorEngine::DoChange()
{
    if (OnChange)
        OnChange();
}

void TEditorEngine::SetModified(bool Value)
{
    Modified = Value;
    ++ChangeCount;
}

void TEditorEngine::ResetText()
{
    Strings->Clear();
    Cursor->SetPos(TPoint{0, 0});
    // The view too starts over: a text put in next is shown from its start, not
    // scrolled sideways as far as the text before it was.
    SetViewOrigin(TPoint{0, 0});
    ClearMark();
    FileName.clear();
    DesiredColumn = -1;
    Anchored = false;
    UndoList->Clear();
    RedoList->Clear();
}

void TEditorEngine::Clear()
{
    ScoopFire(scmStop, TRect{});
    ResetText();
    UpdateDisplay(true);
}

void TEditorEngine::ClearMark()
{
    HighLight->Found = false;
    HighLight->StartPos = TPoint{0, 0};
    HighLight->EndPos = TPoint{0, 0};
    Cursor->ColumnBlock = false;
    // A cleared mark has no fixed end: the next extension starts at the cursor.
    Anchored = false;
}

void TEditorEngine::SetStreamHighlight(TPoint Start, TPoint End, bool Found)
{
    // A highlight set whole has no fixed end left from an earlier extension: a
    // Shift motion after a search match grows it from the cursor, not from where
    // an older highlight began.
    Anchored = false;
    Cursor->ColumnBlock = false;
    HighLight->Found = Found;
    HighLight->StartPos = Start;
    HighLight->EndPos = End;
}

void TEditorEngine::UpdateDisplay(bool FireChange)
{
    RequestRedraw(true);
    if (FireChange)
        DoChange();
}

void TEditorEngine::ScoopFire(TScoopCommand Command, TRect Range)
{
    if (OnScoopEvent)
        OnScoopEvent(Command, Range);
}

void TEditorEngine::ExecuteUndoItem(TUndoItem& Item, bool Last, bool FromUndoRing)
{
    // Room on the other ring first: once the change is made, moving the record
    // there cannot fail, and a change that fails leaves the record where it was.
    TUndoControl& Other = FromUndoRing ? *RedoList : *UndoList;
    Other.ReserveOne();
    FRecordPending = -1;
    const TPoint C0 = Cursor->Pos();
    if (!FromUndoRing)
        Cursor->SetPos(Item.Pos);
    const auto Length = static_cast<std::int64_t>(Item.Text.size());
    // The text a deletion takes away is read for the CRs that are characters of
    // their lines, so that the inverse record puts back exactly those lines.
    auto NoteCrs = [&](bool Backward) {
        Item.Crs.reset();
        if (EditorStyle == esSingleLine || Item.Text.find('\r') == std::string::npos)
            return;
        const TPoint C = ClampPos(Cursor->Pos());
        TPoint Other = C;
        MovePos(Other, Backward ? -Length : Length);
        TCharCrs Crs = CharCrsIn(Backward ? TRect{Other.X, Other.Y, C.X, C.Y} : TRect{C.X, C.Y, Other.X, Other.Y});
        if (Crs.Which != TCharCrs::None)
            Item.Crs = std::make_unique<TCharCrs>(std::move(Crs));
    };
    static const TCharCrs NoCrs;
    switch (Item.Kind) {
    case ukInsert:
        InsertRecordText(Item.Text, false, Item.Crs ? *Item.Crs : NoCrs);
        break;
    case ukInsertBefore:
        InsertRecordText(Item.Text, true, Item.Crs ? *Item.Crs : NoCrs);
        break;
    case ukDeleteBack:
        NoteCrs(true);
        DeleteBackward(Length);
        break;
    case ukDeleteForward:
        NoteCrs(false);
        DeleteForward(Length);
        break;
    default:
        break;
    }
    if (FromUndoRing)
        Cursor->SetPos(Item.Pos);
    InvertUndoItem(Item);
    if (Item.Kind == ukMove)
        Item.Pos = C0;
    Other.Push(std::move(Item));
    // The redraw for the group comes once from Undo / Redo; Last only marks where
    // the group ends.
    (void)Last;
}

void TEditorEngine::SpanFromNewText()
{
    if (FSpan.Active())
        FSpan.Start(Cursor->Pos());
}

std::vector<TUndoItem> TEditorEngine::KeptGroupRecords()
{
    std::vector<TUndoItem> Records;
    if (FSpan.Lost()) {
        FSpan.Stop();
        return Records;
    }
    const TPoint C0 = FSpan.StartCursor();
    auto Made = [](std::uint8_t Kind, TPoint Pos, std::string Text = {}, TCharCrs Crs = {}) {
        return TUndoControl::MakeItem(Kind, std::move(Text), ufInner, Pos, std::move(Crs));
    };
    try {
        if (FSpan.Empty()) {
            // Only the cursor moved: the group takes it back to where it began.
            Records.push_back(Made(ukMove, C0));
            FSpan.Stop();
            return Records;
        }
        FSpan.Widen(*Strings);
        if (FSpan.Lost()) {
            FSpan.Stop();
            return Records;
        }
        const std::int64_t First = FSpan.First();
        const std::int64_t Last = First + FSpan.NewLines() - 1;
        const TRect NewLines{0, First, Strings->LineLength(Last), Last};
        // The old lines and a copy of the new ones are held at once.
        if (!RoomFor(FSpan.OldBytes(*Strings) + RangeLength(NewLines)))
            throw std::bad_alloc();
        TCharCrs OldCrs;
        std::string Old = FSpan.TakeOldText(*Strings, OldCrs);
        std::string New = GetRangeText(NewLines);
        // As if the cursor had gone to the first line, taken the new lines away, put
        // the old ones back before itself and gone to where the group began: one
        // splice each way, however many changes the group made.
        const TPoint Top{0, First};
        Records.reserve(4);
        Records.push_back(Made(ukMove, C0));
        Records.push_back(Made(ukInsertBefore, Top, std::move(Old), std::move(OldCrs)));
        Records.push_back(Made(ukDeleteForward, Top, std::move(New)));
        Records.push_back(Made(ukMove, Top));
    } catch (const std::bad_alloc&) {
        FSpan.Stop();
        Records.clear();
    }
    return Records;
}

bool TEditorEngine::TakeBackStep(const TStepStart& Start)
{
    if (!TakeBackTo(Start.Mark))
        return false;
    *HighLight = Start.HighLight;
    Cursor->ColumnBlock = Start.ColumnBlock;
    Cursor->SetPos(Start.Cursor);
    Modified = Start.Modified;
    return true;
}

bool TEditorEngine::TakeBackTo(std::int64_t Mark)
{
    // A group kept whole by its owner adds no records: nothing here to take back.
    if (UndoList->Keeping() || UndoList->Since(Mark) > UndoList->Count())
        return false;
    FRecordPending = -1;
    static const TCharCrs NoCrs;
    TUndoItem Item;
    // Each record runs as undo runs it, at the cursor the later one left; no inverse
    // goes to the redo ring, as nothing of the step is to come back.
    while (UndoList->Mark() != Mark && UndoList->TakeNewest(Item)) {
        try {
            const auto Length = static_cast<std::int64_t>(Item.Text.size());
            switch (Item.Kind) {
            case ukInsert: InsertRecordText(Item.Text, false, Item.Crs ? *Item.Crs : NoCrs); break;
            case ukInsertBefore: InsertRecordText(Item.Text, true, Item.Crs ? *Item.Crs : NoCrs); break;
            case ukDeleteBack: DeleteBackward(Length); break;
            case ukDeleteForward: DeleteForward(Length); break;
            default: break;
            }
        } catch (...) {
            // The change failed and left the lines as they were: its record stays.
            UndoList->Push(std::move(Item));
            throw;
        }
        Cursor->SetPos(Item.Pos);
    }
    return true;
}

bool TEditorEngine::ExecuteGroupWhole(TUndoControl& Ring, TUndoControl& Other)
{
    const TPoint C0 = Cursor->Pos();
    try {
        return Ring.ExecuteGroup(&Other);
    } catch (...) {
        // The group was not executed, nor any part of it: the cursor too goes back
        // to where the press found it.
        Cursor->SetPos(ClampPos(C0));
        RequestRedraw(true);
        throw;
    }
}

void TEditorEngine::Undo()
{
    ScoopFire(scmStop, TRect{});
    ClearMark();
    if (ExecuteGroupWhole(*UndoList, *RedoList)) {
        // The status first: the change event that the redraw fires reports it, and
        // must not show what an earlier press left.
        Status = edDone;
        UpdateDisplay(true);
    } else {
        Status = edNothingToUndo;
        RequestRedraw(false);
    }
}

void TEditorEngine::Redo()
{
    ScoopFire(scmStop, TRect{});
    ClearMark();
    if (ExecuteGroupWhole(*RedoList, *UndoList)) {
        // The status first: the change event that the redraw fires reports it, and
        // must not show what an earlier press left.
        Status = edDone;
        UpdateDisplay(true);
    } else {
        Status = edNothingToRedo;
        RequestRedraw(false);
    }
}

bool TEditorEngine::SetViewOrigin(TPoint P)
{
    if (P.Y < 0 || P.Y >= Strings->Count() || P.X < 0)
        return false;
    SetViewTopLine(P.Y);
    return true;
}

}  // namespace narvo
