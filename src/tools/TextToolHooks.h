// What the tools (file details, pair matching, block indent and transforms, change
// case, 7-bit conversion, speech, spelling, the clipboard viewer, the user tools and
// the backup browser) need of the main window: one interface, TToolHost, that the
// application implements over its window and installs at start-up; the tools layer
// cannot see the window itself. Without a host, and in the host's defaults, the
// answer is "nothing": no window, no pane, no file name, nothing done.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace narvo {

class TEditorEngine;
struct TBlockPart;
class TScrollEditor;

class TToolHost {
public:
    virtual ~TToolHost() = default;
    // The parent of the tool windows.
    virtual QWidget* MainWindow() { return nullptr; }
    virtual TScrollEditor* ActiveEditor() { return nullptr; }
    virtual TScrollEditor* MainEditor() { return nullptr; }
    // The full name of the main pane's document; empty while untitled.
    virtual std::string CurrentFileName() { return {}; }
    virtual void UpdateStatus() {}
    // "Working" on the status line and the wait cursor while a long operation runs
    // (On), and the message that stood before back after it unless another came since.
    virtual void ShowWorking(bool On) { (void)On; }
    // A plain message on the status line.
    virtual void ShowStatusMessage(const std::string& Text) { (void)Text; }
    // A step outside a command-line run was stopped by Ctrl+Break: the status line
    // says "Break".
    virtual void ShowStepBroken() {}
    // Saves the main pane's document when it was modified (a user tool's "save first").
    // False when the save failed or the user cancelled it.
    virtual bool SaveIfModified() { return true; }
    // The active pane's cursor to column 0 of line N (from 0); a line past the end
    // leaves it where it is.
    virtual void GotoLine(std::int64_t N) { (void)N; }
    // Inserts Text (lines ended by CR alone) into the focused pane, the way "Paste" does.
    virtual void PasteText(const std::string& Text) { (void)Text; }
    // The backup folder (with or without a trailing '/').
    virtual std::string BackupFolder() { return {}; }
    // Opens a file in the main pane as the current document (reports its own failures).
    virtual bool OpenTextFile(const std::string& FileName)
    {
        (void)FileName;
        return false;
    }
};

// The program's host (nullptr before one is set, and in tests that set none).
TToolHost* ToolHost();
void SetToolHost(TToolHost* Host);

// While a tool changes or reads Bytes bytes of text in one go: from so many bytes on
// that may pass a second, so the host shows "Working" and the wait cursor meanwhile.
class TToolWorking {
public:
    static constexpr std::int64_t LongOperationBytes = std::int64_t{4} << 20;
    explicit TToolWorking(std::int64_t Bytes);
    ~TToolWorking();
    TToolWorking(const TToolWorking&) = delete;
    TToolWorking& operator=(const TToolWorking&) = delete;

private:
    bool FShown = false;
};

// Small readers of the host with the safe defaults above.
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
#include "engine/LongStep.h"
#include "platform/posix/ProcessMemory.h"

#include <type_traits>

namespace narvo {

template <class F>
bool ReplaceHighlightedText(TEditorEngine& Pane, F&& Transform)
{
    if (!Pane.HasMark())
        return false;
    // A transform that can build a large result is handed the step that may stop it.
    constexpr bool Stoppable = std::is_invocable_v<F&, const std::string&, TLongStep&>;
    if (Pane.Cursor->ColumnBlock)
        return ReplaceColumnParts(Pane, [&](const TBlockPart& P) {
            if constexpr (Stoppable) {
                TLongStep None;
                return Transform(std::string(P.Text), None);
            } else {
                return Transform(std::string(P.Text));
            }
        });
    // The copy and the record undo keeps of the text replaced: under a control
    // group's limit, taking them past the room would end a program of the group.
    NeedRoomToBuild(Pane.MarkedLength());
    const std::string S = Pane.GetMarkedText();
    TLongStep Step(Pane);
    std::string T;
    if constexpr (Stoppable)
        T = Transform(S, Step);
    else
        T = Transform(S);
    // Stopped, or the text changed meanwhile: nothing is replaced.
    if (Step.Stopped() || T == S)
        return false;
    if (!Pane.InsertTextWhole(T)) {
        Step.Stop();
        std::string().swap(T);
        return false;
    }
    return true;
}

}  // namespace narvo
