// Modal message boxes with fixed texts ("Save Changes?", "File Does Not Exist.")
// behind one small interface, so that the code asking is tested with scripted
// answers instead of a person at the screen. The real implementation shows a
// QMessageBox; texts are Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace narvo {

struct TFileStamp;

enum TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The buttons a box offers, as a set of bits.
enum TMsgDlgBtn : std::uint16_t {
    mbYes = 1,
    mbNo = 2,
    mbOK = 4,
    mbCancel = 8,
    mbAbort = 16,
    mbRetry = 32,
    mbIgnore = 64,
    mbDefaultNo = 128,  // not a button: No is the default (Enter) instead of the first
};
using TMsgDlgButtons = std::uint16_t;
inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
inline constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

// The answer: the button chosen. Closing the box gives the button that Esc would
// (Cancel, else No, else OK).
enum TModalResult : std::uint8_t {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
};

// The answer a box gives when it is closed without a choice.
TModalResult EscapeResult(TMsgDlgButtons Buttons);

class TMessageBoxes {
public:
    virtual ~TMessageBoxes() = default;
    // Shows Text with an icon of Type and the Buttons; answers the button chosen.
    virtual TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons) = 0;
};

// The boxes now in use: the QMessageBox implementation unless a test installed others.
TMessageBoxes& MessageBoxes();
// Installs Boxes (nullptr restores the real ones); returns what was installed before.
// The caller keeps ownership and must restore before Boxes dies.
TMessageBoxes* SetMessageBoxes(TMessageBoxes* Boxes);

// The real box, never a scripted one: Text (Windows-1252 bytes) under Title with
// an icon of Type and the Buttons, long paths wrapped to the box's width; the
// exception boundary's error box is this one too. Answers the button chosen.
TModalResult ShowQtMessageBox(const std::string& Title, const std::string& Text, TMsgDlgType Type,
                              TMsgDlgButtons Buttons);
// The same real box with an OK button, but not modal: nothing waits for it, so the
// program goes on, and may end, while it shows. It belongs to Parent and is freed
// when closed; answers it (a QMessageBox).
QWidget* ShowNoticeBox(const std::string& Title, const std::string& Text, TMsgDlgType Type, QWidget* Parent);

// MessageBoxes().MessageDlg with every overlong line of Text (a path from a damaged
// settings file) shortened in the middle, so that no message is too big to show.
TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons);

// The question before a file marked read-only is replaced, the same for every
// writer of a user's file.
inline constexpr const char* ReadOnlyQuestion = "The file is read-only. Save anyway?";
// True when Path may be replaced: it is no read-only file (IsReadOnlyFile), or the
// user answered Yes to ReadOnlyQuestion.
bool AgreeToReplaceReadOnly(const std::string& Path);

// The question before a file that another program changed (Made: made, where there
// was none) since this program read or chose it is replaced, the same for every
// writer: ""<Name>" was changed by another program since it was <Since>.
// Overwrite it?".
std::string ChangedFileQuestion(const std::string& Name, bool Made, std::string_view Since);
// True when Path may be written now: the file there is still the one stamped Then
// (ChangedSince), or the user answered Yes to ChangedFileQuestion. Asked just
// before writing, so that nothing another program did meanwhile is lost unasked.
bool AgreeToReplaceChanged(const std::string& Path, const TFileStamp& Then, std::string_view Since);
// What a writer says when the user kept the file: ""<Name>" was not written; it
// stays as it was".
std::string NotWrittenText(const std::string& Name);

// Boxes that answer from a script and record every question. With the script
// used up, a box answers as if it were closed (EscapeResult), so that a test that
// forgot an answer never saves or discards anything by accident.
class TScriptedMessageBoxes : public TMessageBoxes {
public:
    struct TQuestion {
        std::string Text;
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
    };
    // Installs itself for its lifetime.
    TScriptedMessageBoxes();
    explicit TScriptedMessageBoxes(std::deque<TModalResult> Script);
    ~TScriptedMessageBoxes() override;
    TScriptedMessageBoxes(const TScriptedMessageBoxes&) = delete;
    TScriptedMessageBoxes& operator=(const TScriptedMessageBoxes&) = delete;

    TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons) override;

    std::deque<TModalResult> Answers;
    std::vector<TQuestion> Asked;

private:
    TMessageBoxes* FPrevious;
};

}  // namespace narvo
