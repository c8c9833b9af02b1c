// A text model with the widget's hooks replaced by counters, and helpers to set and
// read its lines in tests.
#pragma once

#include "engine/EditorEngine.h"

#include <string>
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
    TShiftState LiveModifiers() const override { return Modifiers; }
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
};

inline std::vector<std::string> LinesOf(const TEditBuffer& B)
{
    std::vector<std::string> L;
    for (std::int64_t Y = 0; Y < B.Count(); ++Y)
        L.push_back(B[Y]);
    return L;
}

}  // namespace narvo::test
