// TPreForm: the modal print preview. It paginates a text with TTextParser, shows one
// page at a time, lets the user set the margins, the font and its size, margin
// guide lines and line numbers, tick the pages to print, read the printer's metrics
// and fonts, set up the printer and print. Printing sends each ticked page as a
// bitmap at the printer's resolution. The form lives for the whole run; the parser,
// the print font and the saved ticks persist between showings.
#pragma once

#include "platform/posix/SafeFile.h"
#include "tools/PrintPreview.h"

#include <QDialog>
#include <QFont>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QToolButton;

namespace narvo {

class TFrameCounter;
class TIntegerSpin;
class TRealSpin;

// The four print margins in inches, kept by the settings.
struct TPrintMarginValues {
    double Left = 0.75;
    double Top = 0.75;
    double Right = 0.75;
    double Bottom = 0.75;
};

class TPreForm : public QDialog {
    Q_OBJECT
public:
    explicit TPreForm(QWidget* Parent = nullptr);
    ~TPreForm() override;

    TRealSpin *LeftSpin, *TopSpin, *BottomSpin, *RightSpin;
    QListWidget* PrintList;
    QToolButton *CheckAllBtn, *ClearAllBtn, *CheckHighLightBtn, *ClearHighlightBtn, *InvertAllBtn;
    TIntegerSpin* FontSizeSpin;
    QCheckBox *MarginChk, *LineNumberChk;
    QPlainTextEdit* Memo1;
    QPushButton *PrintBtn, *SetupBtn, *CancelBtn, *BitBtn1, *FontBtn;
    TFrameCounter* PageCounter;
    TPrintPreview* PrintPreview1;
    QLabel *MouseXDis, *MouseYDis, *PaperXDis, *PaperYDis;

    std::unique_ptr<TTextParser> TextParser;
    QFont PrintFont;
    std::string PrintText;
    std::vector<bool> SavedChecks;

    // The common dialogs, replaceable for tests: true to go on.
    std::function<bool()> AskPrint;
    std::function<void()> AskSetup;
    std::function<std::optional<QFont>(const QFont&)> AskFont;

    // Takes the editor's font with the embedded font at 12 points, the text and
    // the margins, and paginates; Exec shows the form modally.
    void Prepare(const QFont& EditorFont, std::string Text, const TPrintMarginValues& Margins);
    TPrintMarginValues MarginValues() const;
    void LoadPrintFont();
    void Reparse();
    void ShowPrinterInfo();
    // The ticked pages: true for page Page when its item is ticked.
    bool PageChecked(int Page) const;
    // The pages the print dialog's page range chose, from 1 (0 and 0: every page).
    int PrintFromPage = 0, PrintToPage = 0;
    // The printer's page range as the print dialog left it.
    void TakePrintRange(const QPrinter& Printer);
    // Page (from 0) lies in the chosen range.
    bool InPrintRange(int Page) const;
    // The print dialog, then the ticked pages of its range to the printer. With no
    // page ticked (or none in the range) it says so instead of printing nothing.
    void PrintBtnClick();
    bool AnyPageChecked() const;
    static constexpr const char* NoPageTicked = "No page is ticked";
    static constexpr const char* NoTickedPageInRange = "No ticked page lies in the chosen range";
    // The ticked pages (within the range, when one is chosen) to the printer
    // without asking; the number printed.
    int PrintCheckedPages();

    void LeftSpinChange();
    void FontSizeSpinChange();
    void FontBtnClick();
    void SetupBtnClick();
    void PageCounterChange();
    void PrintListDblClick();
    void CheckAll(bool Checked);
    void CheckSelected(bool Checked);
    void InvertSelected();
    void PrintPreview1ImageMouseMove(int X, int Y);

private:
    void BuildForm();
    void ShowPage(int Page);
    // While Print writes a file: that file as it was when printing began, and
    // whether the user kept it when another program had changed it since.
    std::optional<TFileStamp> FFileAtStart;
    bool FFileKept = false;
};

// The run's form: made by CreatePreForm, null before.
TPreForm* PreForm();
void CreatePreForm(QWidget* Parent);
// Paginates Text into the run's form (made when there is none yet).
void PreparePrintPreview(const QFont& EditorFont, std::string Text, const TPrintMarginValues& Margins);
// Shows the prepared preview modally; the margins come back as the user left them.
void ShowPrintPreview(TPrintMarginValues& Margins);
// Prints the text and ticks of the last preview (nothing before the first).
void PrintLastPreview();

}  // namespace narvo
