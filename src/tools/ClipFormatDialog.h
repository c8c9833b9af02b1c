// TClipFormatDlg, "Clipboard Data": every format now on the clipboard with its
// number and name, and the content of the selected one as text; "Paste" puts the
// shown text into the focused pane. A clipboard listener made with the dialog keeps
// the list current while the dialog is visible; changes while it is hidden are
// ignored, and each refresh selects the first text format again.
#pragma once

#include "platform/Clipboard.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace narvo {

class TClipboardListener;

struct TFormatInfo {
    std::uint32_t Format = 0;
    std::string Name;
};
using TFormatArray = std::vector<TFormatInfo>;

// The text of one format as the viewer shows it: Unicode text (13) in 8-bit
// characters through the system code page, Text (1) as a paste reads it, any other
// format as its bytes up to the first zero byte. Empty when the format is not on
// the clipboard.
std::string GetClipboardText(std::uint32_t Format);

class TClipFormatDlg : public QDialog {
    Q_OBJECT
public:
    // The grid has at least this many rows, the title row included.
    static constexpr int MinGridRows = 20;

    explicit TClipFormatDlg(QWidget* Parent = nullptr);

    QTableWidget* FormatGrid = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* PasteBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    TClipboardListener* ClipboardListener1 = nullptr;

    // The formats of the last refresh, in the clipboard's order.
    const TFormatArray& ClipFormats() const { return FClipFormats; }
    // Reads the formats again, refills the grid and shows the first text format
    // (the first format when none holds text).
    void RefreshFormats();
    // The content of format Index (from 0) in the view; nothing for a row past the last.
    void ShowFormat(int Index);
    // Memo1's text in 8-bit characters.
    std::string ShownText() const;

    void PasteBtnClick();

private:
    void ClipboardListener1ClipboardChange();

    TFormatArray FClipFormats;
};

// The program's viewer (made at start-up) and the menu entry that shows it modally.
void CreateClipFormatDlg(QWidget* Parent);
void FreeClipFormatDlg();
TClipFormatDlg* ClipFormatDlg();
void ShowClipFormatDlg();

}  // namespace narvo
