// The one-line edit box with its own undo and redo stacks of whole-text snapshots
// (TCustomEditEx, TEditEx), and the spin edit base built on it (TCustomSpin): the
// edit box with a pair of auto-repeating arrow buttons (TUpDownButton made of two
// TArrowButtons) at its right edge and an optional units label (TDisPanel) beside
// them. Keys run in the design's two stages, key-down then character; a handler
// that sets the key or the character to 0 swallows it. Refused keys beep; these
// controls never show a message.
#pragma once

#include "components/AutoButton.h"
#include "components/Panel.h"
#include "platform/KeyTranslate.h"

#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace narvo {

// The beep of a refused key. Tests count beeps through the hook (an empty hook
// restores the desktop's beep); returns the previous hook.
void SpinBeep();
std::function<void()> SetSpinBeepHook(std::function<void()> Hook);

class TCustomEditEx;

struct TEditSnapshot {
    QString Text;
    int SelStart = 0;
    int SelLength = 0;
};

class TEditUndoer {
public:
    // Pushes the edit's state onto the undo stack and empties the redo stack.
    void SaveSnapshot(TCustomEditEx& Edit);
    void PushRedo(TCustomEditEx& Edit);
    void Undo(TCustomEditEx& Edit);
    // The redo stack is not emptied by a redo (its state goes onto the undo stack).
    void Redo(TCustomEditEx& Edit);
    bool CanUndo() const { return !FUndo.empty(); }
    bool CanRedo() const { return !FRedo.empty(); }

private:
    static TEditSnapshot Take(const TCustomEditEx& Edit);
    static void Restore(TCustomEditEx& Edit, const TEditSnapshot& S);
    std::vector<TEditSnapshot> FUndo;
    std::vector<TEditSnapshot> FRedo;
};

enum TShortcutMode : std::uint8_t { smNone, smStandard };

class TCustomEditEx : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustomEditEx(QWidget* Parent = nullptr);

    // smStandard: ^A selects all, ^Z undoes, ^Y redoes, a Backspace with nothing
    // before the caret is swallowed.
    TShortcutMode ShortCutMode = smNone;
    TEditUndoer Undoer;
    TNotifyEvent OnKillFocus;
    TNotifyEvent OnUndo;
    TNotifyEvent OnReDo;

    // The events fire also when there was nothing to restore.
    void DoUndo();
    void DoRedo();

    int SelStart() const;
    int SelLength() const;

    // The two stages of a key; called by keyPressEvent, and by tests directly.
    virtual void KeyDown(std::uint16_t& Key, Qt::KeyboardModifiers Shift);
    virtual void KeyPress(char& Key);

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
};

class TEditEx : public TCustomEditEx {
    Q_OBJECT
public:
    using TCustomEditEx::TCustomEditEx;
};

// One arrow of the pair: the button face and a 7 by 4 triangle.
class TArrowButton : public TAutoButton {
    Q_OBJECT
public:
    explicit TArrowButton(QWidget* Parent = nullptr);
    bool UpArrow() const { return FUpArrow; }
    void SetUpArrow(bool Value);
    // Set by the pair: this button gets the focus rectangle.
    bool Focused = false;

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    bool FUpArrow = false;
};

class TUpDownButton : public QWidget {
    Q_OBJECT
public:
    explicit TUpDownButton(QWidget* Parent = nullptr);

    TArrowButton* UpButton = nullptr;
    TArrowButton* DownButton = nullptr;
    // The control that takes the focus when an arrow is pressed.
    QPointer<QWidget> FocusControl;
    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

    // Either arrow is held down.
    bool Pressed() const;
    TArrowButton* FocusedButton() const { return FFocusedButton; }
    void AdjustSize();

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void BtnClick(TArrowButton* Sender);
    void BtnMouseDown(TArrowButton* Sender, Qt::MouseButton Button);
    void SetFocusBtn(TArrowButton* Button);
    TArrowButton* FFocusedButton = nullptr;
};

// The units label beside the arrows.
class TDisPanel : public TCustomPanel {
    Q_OBJECT
public:
    using TCustomPanel::TCustomPanel;
};

enum TWrapMode : std::uint8_t { wmUp = 0, wmDown = 1 };
using TWrapEvent = std::function<void(QObject* Sender, TWrapMode Mode)>;

class TCustomSpin : public TCustomEditEx {
    Q_OBJECT
public:
    explicit TCustomSpin(QWidget* Parent = nullptr);

    // While set, Change does not fire OnChange.
    bool BlockChangeEvent = false;
    bool Wrap = false;
    bool UseLimit = false;
    bool AutoSelect = true;
    TWrapEvent OnWrap;
    TNotifyEvent OnChange;

    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    QString UnitsString() const;
    void SetUnitsString(const QString& Value);
    // 0: fit the caption's text.
    int PanelWidth() const { return FPanelWidth; }
    void SetPanelWidth(int Value);
    TUpDownButton* Button() const { return FButton; }
    TDisPanel* UnitsPanel() const { return FPanel; }
    // The font's text height, the frame and 2 pixels.
    int MinHeight() const;

    virtual void UpClick() = 0;
    virtual void DownClick() = 0;
    virtual bool IsValidChar(char Key) const = 0;
    // Every change of the text.
    virtual void Change();
    void DoWrap(TWrapMode Mode);

    void KeyDown(std::uint16_t& Key, Qt::KeyboardModifiers Shift) override;
    void KeyPress(char& Key) override;

protected:
    // Control characters pass; printable ones and Enter must be in Allowed; with the
    // editor disabled only control characters other than Backspace pass.
    bool AcceptChar(char Key, bool Allowed) const;
    void resizeEvent(QResizeEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;

private:
    void UpdateUnitsPanel();
    void LayoutParts();
    TUpDownButton* FButton = nullptr;
    TDisPanel* FPanel = nullptr;
    int FPanelWidth = 0;
    bool FEditorEnabled = true;
};

}  // namespace narvo
