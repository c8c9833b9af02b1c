// A text model with the widget's hooks replaced by counters, and helpers to set and
// read its lines in tests.
#pragma once

#include "engine/EditorEngine.h"

#include <string>
#include <utility>
#include <vector>

namespace narvo::test {

class TFakeEditor : public TEditorEngine {
public:
    int Redraws = 0;
    int Relayouts = 0;
    int Changes = 0;
    TShiftState Modifiers;

    void RequestRedraw(bool Relayout) override
    {
        ++Redraws;
        if (Relayout)
            ++Relayouts;
    }
    std::int64_t Visible = 25;
    bool IsReadOnly = false;
    int TabSize = 8;
    // Every scoop event: command and range.
    std::vector<std::pair<TScoopCommand, TRect>> Scoops;

    TFakeEditor()
    {
        OnScoopEvent = [this](TScoopCommand Command, TRect Range) { Scoops.emplace_back(Command, Range); };
    }

    TShiftState LiveModifiers() const override { return Modifiers; }
    std::int64_t VisibleLines() const override { return Visible; }
    bool ReadOnly() const override { return IsReadOnly; }
    int SpacesPerTab() const override { return TabSize; }
    void DoChange() override
    {
        ++Changes;
        TEditorEngine::DoChange();
    }

    // Lines given as one string with '|' between them.
    void SetLines(const std::string& Joined)
    {
        std::string T = Joined;
        for (char& C : T)
            if (C == '|')
                C = '\r';
        ResetText();
        if (T.empty())
            return;
        Strings->SetTextStr(T);
    }
    std::string Lines() const { return Strings->JoinLines('|'); }
    TPoint CursorPos() const { return Cursor->Pos(); }
    void SetCursor(std::int64_t X, std::int64_t Y) { Cursor->SetPos(TPoint{X, Y}); }
    // Undo (or redo) until the ring is empty; answers the number of groups.
    int UndoAll()
    {
        int N = 0;
        for (Undo(); Status == edDone; Undo())
            ++N;
        return N;
    }
    int RedoAll()
    {
        int N = 0;
        for (Redo(); Status == edDone; Redo())
            ++N;
        return N;
    }
};

inline std::vector<std::string> LinesOf(const TEditBuffer& B)
{
    std::vector<std::string> L;
    for (std::int64_t Y = 0; Y < B.Count(); ++Y)
        L.emplace_back(B[Y]);
    return L;
}

}  // namespace narvo::test
