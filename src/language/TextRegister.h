// The text register ("scoop"): one store of up to 100,000 characters, apart from
// the clipboard. After ^R, moving the cursor backward over text pushes that text in
// front of the register's text, and moving forward again gives it back; a column
// scoop collects the rectangle between the scoop's start and the cursor when it
// ends. The characters are kept reversed (the last element is the first character
// of the text), so adding in front is a push and giving back is a pop.
#pragma once

#include "engine/EditorEngine.h"
#include "shared/HugeArray.h"

#include <cstdint>
#include <functional>
#include <string>

namespace narvo {

class TXRegister {
public:
    static constexpr std::int64_t Capacity = 100000;

    // Editor: the pane X and F5 insert into (the main pane).
    explicit TXRegister(TEditorEngine* AEditor);
    TXRegister(const TXRegister&) = delete;
    TXRegister& operator=(const TXRegister&) = delete;

    // Fired after every change of the contents (the free-space field).
    std::function<void()> OnChange;
    // The scoop indicator: 0 off, 1 stream scoop, 2 column scoop.
    std::function<void(int State)> OnIndicator;

    TEditorEngine* Editor = nullptr;
    std::int64_t Count() const { return FCount; }
    std::int64_t FreeSpace() const { return Capacity - FCount; }
    // 1 while a stream scoop collects, 0 otherwise.
    int Mode() const { return FMode; }
    bool ColumnScoop() const { return FColumnScoop; }
    TPoint ScoopStartPos() const { return FScoopStart; }

    void Clear();
    // The text in text order; the first N characters of it.
    std::string GetText() const;
    std::string HeadText(std::int64_t N) const;
    bool AddChar(char C);
    // Text goes in front of the register's text; when the register fills part-way
    // the characters nearest the text's start are dropped (and counted, so that a
    // forward scoop gives back only what was stored) and the answer is false.
    bool AddText(const std::string& Text);
    // The stream text of Range in Pane (line ends as CR).
    void AddPassedText(TEditorEngine& Pane, TRect Range);
    // A pane's scoop event; Pane is the pane that fired it and whose text was passed.
    void ScoopEvent(TEditorEngine& Pane, TScoopCommand Command, TRect Range);

    void InsertIntoEditor();
    void InsertLinesIntoEditor();
    void CopyToClipboard() const;
    void AddFromClipboard();
    // The rectangle's block text in Pane (each line followed by CR LF), in front.
    void AddColumnBlock(TEditorEngine& Pane, TRect Rect);
    void BlankBlock(TEditorEngine& Pane, TRect Rect);

    // A new document: no scoop collects any more (the panes are left as they are).
    void StopCollecting()
    {
        FMode = 0;
        FColumnScoop = false;
    }
    // ^R and Shift+^R on Pane; ^F and Shift+^F.
    void ScoopOn(TEditorEngine& Pane, bool Column);
    void ScoopOff(TEditorEngine& Pane, bool Blank);

private:
    void Changed();

    THugeChar FData{Capacity};
    std::int64_t FCount = 0;
    int FMode = 0;
    // Characters of the current scoop that did not fit: a forward move takes these
    // back first.
    std::int64_t FDropped = 0;
    bool FColumnScoop = false;
    TPoint FScoopStart;
};

}  // namespace narvo
