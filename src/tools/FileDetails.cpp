// The "File Details" tool window and the text statistics.
#include "tools/FileDetails.h"

#include "editor/ScrollEditor.h"
#include "platform/ProgramArguments.h"
#include "platform/ResourceFont.h"
#include "platform/TextConvert.h"
#include "shared/CharClass.h"
#include "shared/SystemData.h"
#include "tools/TextToolHooks.h"
#include "tools/TextTransforms.h"
#include "tools/ToolWalk.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace narvo {

// --- counting -------------------------------------------------------------------------------

TTextCounter::TTextCounter(std::string Utility) : FUtility(std::move(Utility))
{
    for (char& C : FUtility)
        C = static_cast<char>(LowCaseChar(static_cast<unsigned char>(C)));
    // Fall-back table: how much of the string still matches after a mismatch, so an
    // occurrence that begins inside a failed attempt ("aab" in "aaab") is found.
    FFail.assign(FUtility.size(), 0);
    for (std::size_t I = 1, K = 0; I < FUtility.size(); ++I) {
        while (K > 0 && FUtility[I] != FUtility[K])
            K = FFail[K - 1];
        if (FUtility[I] == FUtility[K])
            ++K;
        FFail[I] = K;
    }
}

bool TTextCounter::IsSeparator(unsigned char C)
{
    if (C <= 32 || C >= 128)
        return true;
    switch (C) {
    case '&': case '*': case '+': case '-': case '.': case '/': case '?': case '\\': case '_': return true;
    default: return false;
    }
}

void TTextCounter::CountLine(std::string_view Line)
{
    TTextCounts& C = FCounts;
    ++C.Lines;
    if (C.Lines % 60 == 0)
        ++C.Pages;
    if (Line.empty()) {
        FInParagraph = false;
    } else {
        if (!FInParagraph)
            ++C.Paragraphs;
        FInParagraph = true;
    }
    bool InWord = false;
    unsigned char Prev = 0, PrevPrev = 0;
    std::size_t K = 0;  // characters of the utility string matched so far
    for (const char Ch : Line) {
        const auto U = static_cast<unsigned char>(Ch);
        ++C.Characters;
        bool Separator = IsSeparator(U);
        if (U == '.' && IsDigit(Prev) && IsSeparator(PrevPrev))
            Separator = false;
        if (Separator) {
            InWord = false;
        } else {
            if (!InWord)
                ++C.Words;
            InWord = true;
        }
        if (U == 12)
            ++C.Pages;
        if (U == '.' || U == '?' || U == '!')
            ++C.Sentences;
        if (!FUtility.empty()) {
            const auto L = static_cast<char>(LowCaseChar(U));
            while (K > 0 && L != FUtility[K])
                K = FFail[K - 1];
            if (L == FUtility[K])
                ++K;
            if (K == FUtility.size()) {
                ++C.Utility;
                K = 0;
            }
        }
        PrevPrev = Prev;
        Prev = U;
    }
}

// --- file information -------------------------------------------------------------------------

bool GetFileInfo(const std::string& FileName, TFileInfo& Info)
{
    Info = TFileInfo{};
    if (FileName.empty())
        return false;
    const QFileInfo F(FileNameToQString(FileName));
    if (!F.exists())
        return false;
    Info.FileName = QStringToFileName(F.fileName());
    Info.Kind = (F.fileName() == "." || F.fileName() == "..") ? 3 : F.isDir() ? 2 : 1;
    // Not every file system keeps a birth time; the last status change stands in.
    Info.CreationTime = F.birthTime().isValid() ? F.birthTime() : F.metadataChangeTime();
    Info.LastAccessTime = F.lastRead();
    Info.LastWriteTime = F.lastModified();
    Info.Size = F.size();
    return true;
}

std::string FormatFileTime(const QDateTime& Time)
{
    if (!Time.isValid())
        return {};
    const QDateTime U = Time.toUTC();
    char Buf[40];
    std::snprintf(Buf, sizeof Buf, "%02d/%02d/%04d:%02d:%02d:%02d", U.date().month(), U.date().day(), U.date().year(),
                  U.time().hour(), U.time().minute(), U.time().second());
    return Buf;
}

std::string FormatCount(std::int64_t N) { return TScrollEditor::LineNumberText(N); }

// --- the dialog -----------------------------------------------------------------------------

namespace {

QLabel* CountPanel(QFormLayout* Layout, const char* Caption, QWidget* Parent)
{
    auto* Label = new QLabel("0", Parent);
    Layout->addRow(Caption, Label);
    return Label;
}

// An empty argument or one with blanks in quotes, so that the line shows each one.
QString QuoteArgument(const QString& A) { return A.isEmpty() || A.contains(' ') ? '"' + A + '"' : A; }

}  // namespace

TDetailsDlg::TDetailsDlg(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("DetailsDlg");
    setWindowTitle("File Details");
    setWindowFlag(Qt::Tool);
    setModal(false);

    PageControl = new QTabWidget(this);

    auto* OpeningPage = new QWidget;
    RawCommandEdit = new QLineEdit(OpeningPage);
    RawCommandEdit->setReadOnly(true);
    ParamMemo = new QPlainTextEdit(OpeningPage);
    // Tab in the memos goes on to the next control instead of into the text.
    ParamMemo->setTabChangesFocus(true);
    FilenameEdit = new QLineEdit(OpeningPage);
    FilenameEdit->setReadOnly(true);
    DefaultDirEdit = new QLineEdit(OpeningPage);
    DefaultDirEdit->setReadOnly(true);
    auto* Opening = new QFormLayout(OpeningPage);
    Opening->addRow("Raw Command Line", RawCommandEdit);
    Opening->addRow("Command Line Parameters", ParamMemo);
    Opening->addRow("Full Filename", FilenameEdit);
    Opening->addRow("Default Directory", DefaultDirEdit);
    PageControl->addTab(OpeningPage, "Opening Parameters");

    auto* PropertiesPage = new QWidget;
    UnicodeChk = new QCheckBox("Unicode", PropertiesPage);
    auto* PropBox = new QGroupBox("Properties", PropertiesPage);
    auto* Props = new QFormLayout(PropBox);
    CreateDateDis = new QLabel(PropBox);
    WriteDateDis = new QLabel(PropBox);
    FilesizeDis = new QLabel("0", PropBox);
    AccessDateDis = new QLabel(PropBox);
    Props->addRow(" Create Date: ", CreateDateDis);
    Props->addRow(" Write Date: ", WriteDateDis);
    Props->addRow(" File Size ", FilesizeDis);
    Props->addRow(" Access Date: ", AccessDateDis);
    auto* PropLayout = new QVBoxLayout(PropertiesPage);
    PropLayout->addWidget(UnicodeChk);
    PropLayout->addWidget(PropBox);
    PageControl->addTab(PropertiesPage, "Properties");

    auto* DetailsPage = new QWidget;
    auto* CountBox = new QGroupBox("Counts", DetailsPage);
    auto* CountLayout = new QFormLayout(CountBox);
    CharactersDis = CountPanel(CountLayout, " Characters: ", CountBox);
    LinesDis = CountPanel(CountLayout, " Lines: ", CountBox);
    ParagraphsDis = CountPanel(CountLayout, " Paragraphs: ", CountBox);
    PagesDis = CountPanel(CountLayout, " Pages: ", CountBox);
    WordsDis = CountPanel(CountLayout, " Words: ", CountBox);
    SentencesDis = CountPanel(CountLayout, " Sentences: ", CountBox);
    UtilityDis = CountPanel(CountLayout, " Utility: ", CountBox);
    UtilityEdit = new QLineEdit(DetailsPage);
    Button1 = new QPushButton("Analyze File", DetailsPage);
    HighlightedChk = new QCheckBox("Analyze Highlighted Text Only", DetailsPage);
    CountReport = new QPlainTextEdit(DetailsPage);
    CountReport->setFont(FixedSysFont());
    CountReport->setTabChangesFocus(true);
    CountReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    CountReport->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* UtilityRow = new QFormLayout;
    UtilityRow->addRow("Utility String", UtilityEdit);
    auto* DetailsLayout = new QVBoxLayout(DetailsPage);
    DetailsLayout->addWidget(CountBox);
    DetailsLayout->addLayout(UtilityRow);
    DetailsLayout->addWidget(Button1);
    DetailsLayout->addWidget(HighlightedChk);
    DetailsLayout->addWidget(new QLabel("Report", DetailsPage));
    DetailsLayout->addWidget(CountReport);
    PageControl->addTab(DetailsPage, "Details");

    CancelBtn = new QPushButton("Close", this);
    auto* Main = new QVBoxLayout(this);
    Main->addWidget(PageControl);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(CancelBtn);
    Main->addLayout(Buttons);

    PageControl->setCurrentIndex(0);
    connect(Button1, &QPushButton::clicked, this, [this] { AnalyzeText(HighlightedChk->isChecked()); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TDetailsDlg::FillDetails()
{
    // The program's own lists: the toolkit's lacks what was kept from it, such as
    // the file named at start.
    const TCommandLine Line = ProgramCommandLine();
    QStringList Quoted;
    for (const std::string& A : Line.Given)
        Quoted << QuoteArgument(FileNameToQString(A));
    RawCommandEdit->setText(Quoted.join(' '));
    ParamMemo->clear();
    for (std::size_t I = 0; I < Line.Own.size(); ++I)
        ParamMemo->appendPlainText(QString::number(I) + ' ' + FileNameToQString(Line.Own[I]));
    const std::string Name = ToolHost() ? ToolHost()->CurrentFileName() : std::string();
    FilenameEdit->setText(FileNameToQString(Name));
    DefaultDirEdit->setText(QDir::currentPath());
    ShowFileProperties(Name);
    FShownEncoding = 0;
    if (TScrollEditor* Pane = ToolMainEditor())
        FShownEncoding = Pane->Strings->Encoding;
    UnicodeChk->setChecked(FShownEncoding != 0);
}

void TDetailsDlg::ShowFileProperties(const std::string& FileName)
{
    TFileInfo Info;
    if (!GetFileInfo(FileName, Info))
        return;
    CreateDateDis->setText(QString::fromStdString(FormatFileTime(Info.CreationTime)));
    WriteDateDis->setText(QString::fromStdString(FormatFileTime(Info.LastWriteTime)));
    AccessDateDis->setText(QString::fromStdString(FormatFileTime(Info.LastAccessTime)));
    FilesizeDis->setText(AnsiToQString(FormatCount(Info.Size)));
}

bool TDetailsDlg::CountPane(TScrollEditor& Pane, bool HighlightedOnly, TTextCounter& Counter)
{
    QPointer<TScrollEditor> Alive(&Pane);
    const std::int64_t Bytes = HighlightedOnly ? Pane.MarkedLength() : Pane.Strings->TextLength(1);
    TToolWalk Walk(
        this,
        [&] {
            Counts = Counter.Counts();
            ShowCounts();
        },
        Bytes);
    // The window's tabs, report and edits may be used while it counts; "Analyze
    // File" is off meanwhile and Close stops the count.
    Walk.KeepWindowLive();
    // False once the walk should stop.
    auto Step = [&](std::int64_t Bytes) {
        if (Walk.Step(Bytes) && !FStop && Alive)
            return true;
        Walk.Stop();
        return false;
    };
    if (HighlightedOnly) {
        const std::string S = Pane.GetMarkedText();
        std::vector<std::string> Lines = SplitHighlightLines(S);
        // A final line break ends the last line; it does not open another.
        if (S.empty() || S.back() == '\r' || S.back() == '\n')
            Lines.pop_back();
        for (const std::string& L : Lines) {
            Counter.CountLine(L);
            if (!Step(static_cast<std::int64_t>(L.size()) + 1))
                return false;
        }
        return true;
    }
    // The lines are read by index: the pane may change while the message loop runs.
    for (std::int64_t Y = 0; Y < Pane.Strings->Count(); ++Y) {
        const std::string_view L = (*Pane.Strings)[Y];
        Counter.CountLine(L);
        if (!Step(static_cast<std::int64_t>(L.size()) + 1))
            return false;
    }
    return true;
}

bool TDetailsDlg::AnalyzeText(bool HighlightedOnly)
{
    TScrollEditor* Pane = ToolMainEditor();
    if (FAnalyzing || !Pane)
        return false;
    FAnalyzing = true;
    FStop = false;
    Button1->setEnabled(false);
    TTextCounter Counter(QStringToAnsi(UtilityEdit->text()));
    const bool Complete = CountPane(*Pane, HighlightedOnly, Counter);
    Counts = Counter.Counts();
    FAnalyzing = false;
    Button1->setEnabled(true);
    ShowCounts();
    WriteCountReport(Complete);
    return Complete;
}

void TDetailsDlg::ShowCounts()
{
    auto Show = [](QLabel* L, std::int64_t N) { L->setText(AnsiToQString(FormatCount(N))); };
    Show(CharactersDis, Counts.Characters);
    Show(LinesDis, Counts.Lines);
    Show(ParagraphsDis, Counts.Paragraphs);
    Show(PagesDis, Counts.Pages);
    Show(WordsDis, Counts.Words);
    Show(SentencesDis, Counts.Sentences);
    Show(UtilityDis, Counts.Utility);
}

void TDetailsDlg::WriteCountReport(bool Complete)
{
    const std::string Name = ToolHost() ? ToolHost()->CurrentFileName() : std::string();
    const QString Rule = "--------------------------";
    auto Line = [this](const char* Caption, std::int64_t N) {
        CountReport->appendPlainText(Caption + AnsiToQString(FormatCount(N)));
    };
    CountReport->appendPlainText(Rule);
    CountReport->appendPlainText("File: " + QFileInfo(FileNameToQString(Name)).fileName());
    CountReport->appendPlainText(Rule);
    // Counts of part of the text are no counts of the file.
    if (!Complete) {
        CountReport->appendPlainText("Stopped");
        return;
    }
    Line("Words: ", Counts.Words);
    Line("Lines: ", Counts.Lines);
    Line("Paragraphs: ", Counts.Paragraphs);
    Line("Pages: ", Counts.Pages);
    Line("Sentences: ", Counts.Sentences);
    Line("Utility: ", Counts.Utility);
}

void TDetailsDlg::FormClose()
{
    TScrollEditor* Pane = ToolMainEditor();
    // Only a change the user made to the box is applied: another document may have
    // come into the pane since the window was filled, and its form must stay.
    const bool Checked = UnicodeChk->isChecked();
    if (!Pane || Checked == (FShownEncoding != 0))
        return;
    Pane->Strings->Encoding = Checked ? 1 : 0;
    FShownEncoding = Pane->Strings->Encoding;
    Pane->SetModified(true);
    if (TToolHost* Host = ToolHost())
        Host->UpdateStatus();
}

void TDetailsDlg::done(int Result)
{
    FStop = true;  // a running analysis ends at its next pause
    FormClose();
    QDialog::done(Result);
}

namespace {
QPointer<TDetailsDlg> GDetailsDlg;
}

TDetailsDlg& DetailsDlg()
{
    if (!GDetailsDlg)
        GDetailsDlg = new TDetailsDlg(ToolMainWindow());
    return *GDetailsDlg;
}

void ShowDetailsDlg()
{
    TDetailsDlg& D = DetailsDlg();
    D.FillDetails();
    D.show();
    D.raise();
    D.activateWindow();
}

void FreeDetailsDlg() { delete GDetailsDlg.data(); }

}  // namespace narvo
