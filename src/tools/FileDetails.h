// The modeless "File Details" tool window: how the program was started, the current
// document's name, folder, times and size, its UTF-16 ("Unicode") flag, and the text
// statistics (characters, words, lines, paragraphs, pages, sentences and the
// occurrences of a user string) of the main pane or its highlight, counted with a
// running display and appended to a report.
//
// The statistics walk refreshes the panels and lets the message loop run every 100 ms
// or so (TToolWalk), so the window stays responsive on a long text. During those
// pauses the pane may change or the window close: the walk reads each line afresh by
// index and stops at the current line count; closing the window, Ctrl+Break and
// the user's key or click outside the window stop it ("Analyze File" is refused
// while one runs).
#pragma once

#include <QDateTime>
#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace narvo {

class TScrollEditor;

struct TTextCounts {
    std::int64_t Characters = 0, Words = 0, Lines = 0, Paragraphs = 0, Pages = 1, Sentences = 0, Utility = 0;
};

// The counting rules, fed one line at a time. Words are cut at the codes 0-32 and
// 128-255 and at & * + - . / ? \ _ (a point after a lone leading digit, as in 3.14,
// stays inside the word). Every 60th line and every form feed starts a page. The
// utility string is counted case-insensitively (ASCII letters), occurrences not
// overlapping and within one line.
class TTextCounter {
public:
    explicit TTextCounter(std::string Utility = {});
    void CountLine(std::string_view Line);
    const TTextCounts& Counts() const { return FCounts; }

    static bool IsSeparator(unsigned char C);

private:
    TTextCounts FCounts;
    std::string FUtility;       // lower-cased
    std::vector<std::size_t> FFail;  // the matcher's fall-back table
    bool FInParagraph = false;
};

struct TFileInfo {
    std::string FileName;
    QDateTime CreationTime, LastAccessTime, LastWriteTime;
    int Kind = 0;  // 0 not found, 1 file, 2 folder, 3 the "." or ".." entry
    std::int64_t Size = 0;
};

// False (Info.Kind 0) when nothing of that name exists.
bool GetFileInfo(const std::string& FileName, TFileInfo& Info);
// "MM/DD/YYYY:HH:MM:SS" in UTC; "" for an unknown time.
std::string FormatFileTime(const QDateTime& Time);
// N with the thousands separator.
std::string FormatCount(std::int64_t N);

class TDetailsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDetailsDlg(QWidget* Parent = nullptr);

    QTabWidget* PageControl = nullptr;
    QLineEdit* RawCommandEdit = nullptr;
    QPlainTextEdit* ParamMemo = nullptr;
    QLineEdit* FilenameEdit = nullptr;
    QLineEdit* DefaultDirEdit = nullptr;
    QCheckBox* UnicodeChk = nullptr;
    QLabel* CreateDateDis = nullptr;
    QLabel* WriteDateDis = nullptr;
    QLabel* FilesizeDis = nullptr;
    QLabel* AccessDateDis = nullptr;
    QLabel* CharactersDis = nullptr;
    QLabel* LinesDis = nullptr;
    QLabel* ParagraphsDis = nullptr;
    QLabel* PagesDis = nullptr;
    QLabel* WordsDis = nullptr;
    QLabel* SentencesDis = nullptr;
    QLabel* UtilityDis = nullptr;
    QLineEdit* UtilityEdit = nullptr;
    QPushButton* Button1 = nullptr;
    QCheckBox* HighlightedChk = nullptr;
    QPlainTextEdit* CountReport = nullptr;
    QPushButton* CancelBtn = nullptr;

    TTextCounts Counts;
    bool Analyzing() const { return FAnalyzing; }

    // Fills the first two tabs from the process and the current document.
    void FillDetails();
    void ShowFileProperties(const std::string& FileName);
    // Counts the main pane (or its highlight), then shows and reports the counts.
    // False when stopped before the end: the panels then show the counts as far as
    // they got, and the report and the status line say "Stopped", with no figures.
    bool AnalyzeText(bool HighlightedOnly);
    void ShowCounts();
    // The file's counts appended to the report; only "Stopped" for an analysis that
    // did not reach the end.
    void WriteCountReport(bool Complete = true);
    // Applies the "Unicode" box to the main pane's buffer.
    void FormClose();

    void done(int Result) override;

private:
    bool CountPane(TScrollEditor& Pane, bool HighlightedOnly, TTextCounter& Counter);

    bool FAnalyzing = false;
    bool FStop = false;
    std::uint8_t FShownEncoding = 0;
};

TDetailsDlg& DetailsDlg();
void ShowDetailsDlg();
void FreeDetailsDlg();

}  // namespace narvo
