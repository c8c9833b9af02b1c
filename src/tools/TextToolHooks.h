// What the text tools (file details, pair matching, block indent and transforms,
// change case, 7-bit conversion) need of the main window, as hooks the application
// fills at start-up; the tools layer cannot see the window itself. An empty hook
// answers "nothing": no pane, no file name, minimum spaces 1.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace narvo {

class TEditorEngine;
struct TBlockPart;
class TScrollEditor;

struct TTextToolHooks {
    std::function<QWidget*()> MainWindow;        // parent of the tool windows
    std::function<TScrollEditor*()> ActiveEditor;
    std::function<TScrollEditor*()> MainEditor;
    std::function<int()> MinimumSpace;           // the "Minimum Spaces" setting
    std::function<std::string()> CurrentFileName;
    std::function<void()> UpdateStatus;
};

TTextToolHooks& TextToolHooks();

// Small readers of the hooks with the safe defaults above.
QWidget* ToolMainWindow();
TScrollEditor* ToolActiveEditor();
TScrollEditor* ToolMainEditor();

// The pane's highlighted text S replaced by Transform(S) through InsertText, which
// makes the change one undo step. A column block is changed where it stands
// instead: each line's part of it P is replaced by Transform(P) in place, and the
// highlight stays on it. Nothing happens without a highlight or when the text comes
// back unchanged (no empty undo step, the pane stays unmodified).
template <class F>
bool ReplaceHighlightedText(TEditorEngine& Pane, F&& Transform);

// A column block's parts replaced by PartTransform(TBlockPart), in place as one undo
// step; false when the highlight is not a column block or nothing changed.
bool ReplaceColumnParts(TEditorEngine& Pane, const std::function<std::string(const TBlockPart&)>& PartTransform);

}  // namespace narvo

#include "engine/EditorEngine.h"

namespace narvo {

template <class F>
bool ReplaceHighlightedText(TEditorEngine& Pane, F&& Transform)
{
    if (!Pane.HasMark())
        return false;
    if (Pane.Cursor->ColumnBlock)
        return ReplaceColumnParts(Pane, [&](const TBlockPart& P) { return Transform(std::string(P.Text)); });
    const std::string S = Pane.GetMarkedText();
    std::string T = Transform(S);
    if (T == S)
        return false;
    Pane.InsertText(T);
    return true;
}

}  // namespace narvo
