// The page counter, the preview pages and the print preview dialog printing to PDF.
#include "components/AutoButton.h"
#include "components/IntSpin.h"
#include "components/RealSpin.h"
#include "tools/FrameCount.h"
#include "tools/PPMain.h"
#include "tools/PPProgress.h"
#include "tools/PrintPreview.h"

#include "platform/MessageBoxes.h"
#include "platform/posix/SafeFile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace narvo {
namespace {

// --- page counter ----------------------------------------------------------------------

struct TCounterProbe {
    TFrameCounter C;
    int Changes = 0, MaxChanges = 0;
    TCounterProbe()
    {
        C.OnChange = [this](QObject*) { ++Changes; };
        C.OnMaxChange = [this](QObject*) { ++MaxChanges; };
    }
};

TEST(FrameCounter, StepsTable)
{
    enum Op { First, Prior, Next, Last };
    const struct {
        int Max, Index;
        bool Wrap;
        Op Step;
        int Expected;
        bool Fired;
    } Cases[] = {
        {12, 11, false, Next, 11, false}, {12, 11, true, Next, 0, true},  {12, 0, false, Prior, 0, false},
        {12, 0, true, Prior, 11, true},   {12, 5, false, Next, 6, true},  {12, 5, false, Prior, 4, true},
        {12, 5, false, First, 0, true},   {12, 5, false, Last, 11, true}, {12, 0, false, First, 0, false},
        {1, 0, true, Next, 0, false},
    };
    for (const auto& T : Cases) {
        TCounterProbe P;
        P.C.SetMaxFrames(T.Max);
        P.C.SetFrameIndex(T.Index);
        P.C.Wrap = T.Wrap;
        switch (T.Step) {
        case First: P.C.Buttons[0]->Click(); break;
        case Prior: P.C.Buttons[1]->Click(); break;
        case Next: P.C.Buttons[2]->Click(); break;
        case Last: P.C.Buttons[3]->Click(); break;
        }
        EXPECT_EQ(P.C.FrameIndex(), T.Expected) << T.Max << "/" << T.Index << " op " << T.Step;
        EXPECT_EQ(P.Changes, T.Fired ? 1 : 0) << T.Max << "/" << T.Index << " op " << T.Step;
    }
}

TEST(FrameCounter, PropertiesAndCaption)
{
    TCounterProbe P;
    P.C.SetFrameIndex(7);  // beyond the count: ignored
    EXPECT_EQ(P.C.FrameIndex(), 0);
    P.C.SetMaxFrames(12);
    P.C.SetMaxFrames(12);
    EXPECT_EQ(P.MaxChanges, 2);  // every write
    P.C.SetFrameIndex(2);
    EXPECT_EQ(P.C.CaptionText(), "3");
    P.C.SetShowCount(true);
    EXPECT_EQ(P.C.CaptionText(), "3/12");
    P.C.SetMaxFrames(2);  // clamps without OnChange
    EXPECT_EQ(P.C.FrameIndex(), 1);
    P.C.SetMaxFrames(0);
    EXPECT_EQ(P.C.FrameIndex(), 0);
    EXPECT_EQ(P.C.CaptionText(), "1/0");
    P.C.SetShowCount(false);
    EXPECT_EQ(P.C.CaptionText(), "");
    EXPECT_EQ(P.Changes, 0);
}

// --- preview pages ---------------------------------------------------------------------

TEST(PrintPreviewPages, CountAndUpdates)
{
    TPrintPreview V;
    V.resize(400, 300);
    const int Base = V.LayoutCount();
    V.SetCount(V.Count());
    EXPECT_EQ(V.LayoutCount(), Base);  // same count: no layout
    V.BeginUpdate();
    V.BeginUpdate();
    V.SetCount(3);
    V.EndUpdate();
    EXPECT_EQ(V.LayoutCount(), Base);
    V.EndUpdate();
    EXPECT_EQ(V.LayoutCount(), Base + 1);
    EXPECT_EQ(V.Images().size(), 3u);
    EXPECT_THROW(V.Pages(3), std::out_of_range);
    V.DeletePage(0);
    EXPECT_EQ(V.Count(), 2);
}

TEST(PrintPreviewPages, SheetLayout)
{
    TPrinterPage Page;
    const double Aspect = Page.Metrics.Aspect;
    ASSERT_GT(Aspect, 0);
    const int H = static_cast<int>(std::lrint(600 * Aspect));
    Page.Layout(QRect(0, 0, 600, H));
    EXPECT_EQ(Page.PageRect.width(), 558);  // the width limits
    EXPECT_EQ(Page.PageRect.height(), static_cast<int>(std::lrint(558 * Aspect)));
    EXPECT_TRUE(Page.PageRect.contains(Page.PrintRect));
    Page.Layout(QRect(0, 0, 2000, 100));  // the height limits
    EXPECT_EQ(Page.PageRect.height(), 93);
    TPrintPreview V;
    V.SetColumns(1);
    V.resize(600 + V.verticalScrollBar()->sizeHint().width() + 10, 400);
    V.Arrange();
    ASSERT_EQ(V.Images().size(), 1u);
    const int Wi = V.viewport()->width();
    EXPECT_EQ(V.Images()[0]->width(), Wi);
    EXPECT_EQ(V.Images()[0]->height(), static_cast<int>(std::lrint(Wi * Aspect)));
}

// --- the dialog and printing -----------------------------------------------------------

int PdfPages(const QString& Name)
{
    QFile F(Name);
    if (!F.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray Data = F.readAll();
    return static_cast<int>(QString::fromLatin1(Data).count(QRegularExpression("/Type\\s*/Page[^s]")));
}

// The byte size of each page image in the PDF file, in page order: pages with
// different text give different sizes, the same page the same size.
std::vector<int> PdfPageImages(const QString& Name)
{
    QFile F(Name);
    if (!F.open(QIODevice::ReadOnly))
        return {};
    const QString Data = QString::fromLatin1(F.readAll());
    std::vector<int> Sizes;
    auto Images = QRegularExpression("/Subtype\\s*/Image[^>]*/Length (\\d+) 0 R").globalMatch(Data);
    while (Images.hasNext()) {
        const QString Object = Images.next().captured(1);
        const auto Length = QRegularExpression("(?:^|\\s)" + Object + " 0 obj\\s*(\\d+)").match(Data);
        Sizes.push_back(Length.hasMatch() ? Length.captured(1).toInt() : -1);
    }
    return Sizes;
}

class PrintDialogTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString Pdf;
    TPreForm Form;
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        Pdf = Dir.filePath("out.pdf");
        QPrinter& P = CurrentPrinter();
        P.setOutputFormat(QPrinter::PdfFormat);
        P.setOutputFileName(Pdf);
        Form.AskPrint = [] { return true; };
        Form.resize(900, 640);
    }
    // Three pages whatever the font: each of the last two lines holds a form feed.
    void Prepare3() { Form.Prepare(QFont(), "one\n\ftwo\n\fthree", TPrintMarginValues{}); }
};

TEST_F(PrintDialogTest, ThreePagesToPdf)
{
    Prepare3();
    EXPECT_EQ(Form.TextParser->PageCount(), 3);
    EXPECT_EQ(Form.PrintList->count(), 3);
    EXPECT_EQ(Form.PageCounter->CaptionText(), "1/3");
    std::vector<int> Progress;
    const int Printed = Form.TextParser->Print([&](int P) { Progress.push_back(P); },
                                               [this](int Page) { return Form.PageChecked(Page); });
    EXPECT_EQ(Printed, 3);
    EXPECT_EQ(Progress, (std::vector<int>{0, 33, 67}));
    EXPECT_EQ(PdfPages(Pdf), 3);
}

TEST_F(PrintDialogTest, TicksChooseThePages)
{
    Prepare3();
    Form.PrintList->item(1)->setCheckState(Qt::Unchecked);
    const QImage Shown = Form.PrintPreview1->Pages(0).Bitmap.copy();
    Form.PrintBtnClick();
    EXPECT_EQ(PdfPages(Pdf), 2);  // pages 1 and 3, no blank sheet
    EXPECT_TRUE(Form.PrintPreview1->Pages(0).Bitmap == Shown);  // page 1 shows again
    EXPECT_FALSE(ProgressDlg().isVisible());

    QFile::remove(Pdf);
    Form.CheckAll(true);
    Form.PrintList->item(2)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(Form.PrintCheckedPages(), 2);
    EXPECT_EQ(PdfPages(Pdf), 2);

    QFile::remove(Pdf);
    Form.CheckAll(false);
    EXPECT_EQ(Form.PrintCheckedPages(), 0);
    EXPECT_FALSE(QFile::exists(Pdf));  // no job, no blank sheet

    Form.PrintList->item(0)->setSelected(true);
    Form.PrintList->item(2)->setSelected(true);
    Form.InvertSelected();
    EXPECT_EQ(Form.PrintList->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(Form.PrintList->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(Form.PrintList->item(2)->checkState(), Qt::Checked);
    Form.CheckSelected(false);
    EXPECT_EQ(Form.PrintList->item(0)->checkState(), Qt::Unchecked);

    Form.AskPrint = [] { return false; };  // cancelled: nothing printed
    Form.CheckAll(true);
    Form.PrintBtnClick();
    EXPECT_FALSE(QFile::exists(Pdf));
}

TEST_F(PrintDialogTest, ThePrintDialogsPageRangeMeetsTheTicks)
{
    Prepare3();
    Form.PrintList->item(2)->setCheckState(Qt::Unchecked);
    // The dialog leaves pages 2 to 3 chosen on the printer: of those only page 2
    // is ticked.
    Form.AskPrint = [this] {
        QPrinter& P = CurrentPrinter();
        P.setPrintRange(QPrinter::PageRange);
        P.setFromTo(2, 3);
        Form.TakePrintRange(P);
        return true;
    };
    Form.PrintBtnClick();
    EXPECT_EQ(PdfPages(Pdf), 1);
    // The range went with that dialog: printing without one takes the ticks.
    QFile::remove(Pdf);
    EXPECT_EQ(Form.PrintCheckedPages(), 2);

    QFile::remove(Pdf);
    Form.AskPrint = [this] {
        QPrinter& P = CurrentPrinter();
        P.setPrintRange(QPrinter::AllPages);
        Form.TakePrintRange(P);
        return true;
    };
    Form.PrintBtnClick();
    EXPECT_EQ(PdfPages(Pdf), 2);
    CurrentPrinter().setFromTo(0, 0);
}

TEST_F(PrintDialogTest, FontSizeKeepsTicksAndMarginsResetThem)
{
    std::string Text;
    for (int I = 0; I < 150; ++I)
        Text += "line " + std::to_string(I) + "\n";
    Form.Prepare(QFont(), Text, TPrintMarginValues{});
    const int Before = Form.PrintList->count();
    ASSERT_GE(Before, 2);
    Form.PrintList->item(0)->setCheckState(Qt::Unchecked);
    Form.PrintList->item(Before - 1)->setCheckState(Qt::Unchecked);
    Form.FontSizeSpin->SetValue(30);  // bigger type: more pages
    const int After = Form.PrintList->count();
    ASSERT_GT(After, Before);
    EXPECT_EQ(Form.PrintList->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(Form.PrintList->item(1)->checkState(), Qt::Checked);
    for (int I = Before - 1; I < After; ++I)
        EXPECT_EQ(Form.PrintList->item(I)->checkState(), Qt::Unchecked) << I;

    Form.PageCounter->Buttons[3]->Click();  // last page
    EXPECT_EQ(Form.PrintList->currentRow(), After - 1);
    Form.LeftSpin->SetValue(1.5);
    EXPECT_EQ(Form.TextParser->Margins.Left, static_cast<std::int64_t>(ScreenPixelsPerInch() * 1.5));
    EXPECT_EQ(Form.PageCounter->FrameIndex(), 0);
    for (int I = 0; I < Form.PrintList->count(); ++I)
        EXPECT_EQ(Form.PrintList->item(I)->checkState(), Qt::Checked) << I;
    EXPECT_DOUBLE_EQ(Form.MarginValues().Left, 1.5);
}

TEST_F(PrintDialogTest, RenderedPageShowsTextAndMargins)
{
    Form.Prepare(QFont(), std::string(200, 'W') + "\nshort", TPrintMarginValues{});
    TTextParser& P = *Form.TextParser;
    EXPECT_EQ(P.PageCount(), 1);  // a long line is cut, not wrapped
    EXPECT_EQ(P.Lines.size(), 2u);
    P.ShowMargins = true;
    P.Bitmap.fill(Qt::white);
    {
        QPainter C(&P.Bitmap);
        P.RenderPage(C, 0);
    }
    const int W = P.Bitmap.width();
    // Nothing dark right of the right margin guide, except the frame lines.
    const int Edge = W - static_cast<int>(P.Margins.Right);
    const int Y = static_cast<int>(P.Margins.Top) + P.LineHeight / 2;
    bool InkInside = false, InkOutside = false;
    for (int X = static_cast<int>(P.Margins.Left); X < W - 4; ++X) {
        const QColor C = P.Bitmap.pixelColor(X, Y);
        const bool Black = C.red() < 100 && C.green() < 100 && C.blue() < 100;
        if (X < Edge - 3)
            InkInside |= Black;
        else if (X >= Edge)
            InkOutside |= Black;
    }
    EXPECT_TRUE(InkInside);
    EXPECT_FALSE(InkOutside);
    EXPECT_EQ(P.Bitmap.pixelColor(W / 2, static_cast<int>(P.Margins.Top) + 1), QColor(0, 0, 255));
}

// --- the real print and setup dialogs, printing to PDF ----------------------------------

// Runs Act on each modal dialog of kind T as soon as it is up; Act accepts it.
template <class T>
class TModalDriver {
public:
    explicit TModalDriver(std::function<void(T&)> Act) : FAct(std::move(Act))
    {
        FTimer.setInterval(10);
        QObject::connect(&FTimer, &QTimer::timeout, [this] {
            if (auto* D = qobject_cast<T*>(QApplication::activeModalWidget())) {
                ++Shown;
                FAct(*D);
            }
        });
        FTimer.start();
    }
    int Shown = 0;

private:
    std::function<void(T&)> FAct;
    QTimer FTimer;
};

template <class W>
W* Child(QWidget& Parent, const char* Name)
{
    W* Found = Parent.findChild<W*>(Name);
    EXPECT_NE(Found, nullptr) << Name;
    return Found;
}

// A form with the program's own print and setup dialogs, printing to a PDF file.
// The print dialog's answer "Pages from 2 to 3".
void PagesTwoToThree(QPrintDialog& D)
{
    Child<QAbstractButton>(D, "printRange")->setChecked(true);
    Child<QSpinBox>(D, "from")->setValue(2);
    Child<QSpinBox>(D, "to")->setValue(3);
    D.accept();
}

class RealPrintTest : public PrintDialogTest {
protected:
    void TearDown() override
    {
        CurrentPrinter().setPageOrientation(QPageLayout::Portrait);
        CurrentPrinter().setCopyCount(1);
        CurrentPrinter().setPageOrder(QPrinter::FirstPageFirst);
        CurrentPrinter().setPrintRange(QPrinter::AllPages);
        CurrentPrinter().setFromTo(0, 0);
    }
    TPreForm Own;
    void Prepare3() { Own.Prepare(QFont(), "one\n\ftwo\n\fthree", TPrintMarginValues{}); }
};

TEST_F(RealPrintTest, ARangeChosenOncePrintsOnlyOnce)
{
    Prepare3();
    {
        TModalDriver<QPrintDialog> Range(PagesTwoToThree);
        Own.PrintBtnClick();
        ASSERT_EQ(Range.Shown, 1);
    }
    EXPECT_EQ(PdfPages(Pdf), 2);
    // The next print, its dialog accepted as it opens: every ticked page.
    QFile::remove(Pdf);
    {
        TModalDriver<QPrintDialog> Plain([](QPrintDialog& D) { D.accept(); });
        Own.PrintBtnClick();
        ASSERT_EQ(Plain.Shown, 1);
    }
    EXPECT_EQ(PdfPages(Pdf), 3);
    // And with a tick taken off: the ticks alone choose.
    QFile::remove(Pdf);
    Own.PrintList->item(0)->setCheckState(Qt::Unchecked);
    {
        TModalDriver<QPrintDialog> Plain([](QPrintDialog& D) { D.accept(); });
        Own.PrintBtnClick();
    }
    EXPECT_EQ(PdfPages(Pdf), 2);
}

// Three pages of different text, so that each page's image differs.
void PrepareThreeDifferentPages(TPreForm& Form)
{
    std::string Text = "a\n\f";
    for (int I = 0; I < 10; ++I)
        Text += "WWWWWWWWWWWWWWWWWWWW\n";
    Text += "\f";
    for (int I = 0; I < 40; ++I)
        Text += "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM\n";
    Form.Prepare(QFont(), Text, TPrintMarginValues{});
    ASSERT_EQ(Form.TextParser->PageCount(), 3);
}

TEST_F(RealPrintTest, APdfFileHoldsTheCopiesAndTheOrderThePrintDialogAsked)
{
    PrepareThreeDifferentPages(Own);
    {
        TModalDriver<QPrintDialog> Plain([](QPrintDialog& D) { D.accept(); });
        Own.PrintBtnClick();
    }
    const std::vector<int> Pages = PdfPageImages(Pdf);
    ASSERT_EQ(Pages.size(), 3u);
    const int P1 = Pages[0], P2 = Pages[1], P3 = Pages[2];
    ASSERT_TRUE(P1 != P2 && P2 != P3 && P1 != P3);
    struct {
        int Copies;
        bool Collate, Reverse;
        std::vector<int> Sheets;
    } const Cases[] = {
        {1, true, true, {P3, P2, P1}},
        {2, true, false, {P1, P2, P3, P1, P2, P3}},
        {2, false, false, {P1, P1, P2, P2, P3, P3}},
        {2, true, true, {P3, P2, P1, P3, P2, P1}},
        {2, false, true, {P3, P3, P2, P2, P1, P1}},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Copies << " copies, collate " << C.Collate << ", reverse " << C.Reverse);
        QFile::remove(Pdf);
        // Chosen in the program's own print dialog, as the user does.
        TModalDriver<QPrintDialog> Ask([&](QPrintDialog& D) {
            Child<QSpinBox>(D, "copies")->setValue(C.Copies);
            Child<QAbstractButton>(D, "collate")->setChecked(C.Collate);
            Child<QAbstractButton>(D, "reverse")->setChecked(C.Reverse);
            D.accept();
        });
        Own.PrintBtnClick();
        ASSERT_EQ(Ask.Shown, 1);
        EXPECT_EQ(PdfPageImages(Pdf), C.Sheets);
    }
    // A page left unticked is left out of every copy.
    QFile::remove(Pdf);
    Own.PrintList->item(1)->setCheckState(Qt::Unchecked);
    TModalDriver<QPrintDialog> Ask([](QPrintDialog& D) {
        Child<QSpinBox>(D, "copies")->setValue(2);
        Child<QAbstractButton>(D, "collate")->setChecked(true);
        Child<QAbstractButton>(D, "reverse")->setChecked(false);
        D.accept();
    });
    Own.PrintBtnClick();
    EXPECT_EQ(PdfPageImages(Pdf), (std::vector<int>{P1, P3, P1, P3}));
}

// Dark pixels in the page image's part that shows the printable area.
int InkIn(const QImage& Image)
{
    int Ink = 0;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Ink += qGray(Image.pixel(X, Y)) < 100;
    return Ink;
}

TEST_F(RealPrintTest, PageOneShowsItsTextRightAfterPrintSetup)
{
    Own.Prepare(QFont(), "WWWW WWWW WWWW\nWWWW", TPrintMarginValues{});
    Own.show();
    ASSERT_GT(InkIn(Own.PrintPreview1->Pages(0).Bitmap), 0);
    {
        TModalDriver<QPageSetupDialog> Landscape([](QPageSetupDialog& D) {
            Child<QAbstractButton>(D, "landscape")->click();
            D.accept();
        });
        Own.SetupBtnClick();
        ASSERT_EQ(Landscape.Shown, 1);
    }
    ASSERT_EQ(CurrentPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    const TPrinterPage& Page = Own.PrintPreview1->Pages(0);
    EXPECT_GT(Page.Bitmap.width(), Page.Bitmap.height());
    EXPECT_GT(InkIn(Page.Bitmap), 0);  // page 1 at once, not after stepping away and back
    ASSERT_EQ(Own.PrintPreview1->Images().size(), 1u);
    const QImage Shown = Own.PrintPreview1->Images()[0]->grab().toImage();
    EXPECT_GT(InkIn(Shown.copy(Page.PrintRect)), 0);
    {
        TModalDriver<QPrintDialog> Plain([](QPrintDialog& D) { D.accept(); });
        Own.PrintBtnClick();
    }
    EXPECT_EQ(PdfPages(Pdf), 1);
}

TEST_F(RealPrintTest, NoTickedPageIsSaidAndNothingIsWritten)
{
    Prepare3();
    {
        QFile Old(Pdf);
        ASSERT_TRUE(Old.open(QIODevice::WriteOnly));
        Old.write("an older file");
    }
    Own.CheckAll(false);
    TScriptedMessageBoxes Boxes({mrOk, mrOk});
    {
        TModalDriver<QPrintDialog> Plain([](QPrintDialog& D) { D.accept(); });
        Own.PrintBtnClick();
        EXPECT_EQ(Plain.Shown, 0);  // nothing to ask about
    }
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text, TPreForm::NoPageTicked);
    // Ticked pages that all lie outside the chosen range: said too.
    Own.PrintList->item(0)->setCheckState(Qt::Checked);
    TModalDriver<QPrintDialog> Range(PagesTwoToThree);
    Own.PrintBtnClick();
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Boxes.Asked[1].Text, TPreForm::NoTickedPageInRange);
    QFile Old(Pdf);
    ASSERT_TRUE(Old.open(QIODevice::ReadOnly));
    EXPECT_EQ(Old.readAll(), "an older file");
}

// A file another program makes under the chosen name while the pages are made is
// replaced only after the question Save asks; No keeps it and says so.
TEST_F(PrintDialogTest, APdfFileMadeByAnotherProgramWhilePrintingIsAskedAbout)
{
    Prepare3();
    const std::string Name = QFile::encodeName(Pdf).toStdString();
    const auto Bytes = [this] {
        QFile F(Pdf);
        return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
    };
    // The other program writes the file as the print's own file is begun.
    SetFileFaultHook([&](TFileStep Step, const std::string&) {
        if (Step == TFileStep::CreateTemp && !QFile::exists(Pdf)) {
            QFile Theirs(Pdf);
            if (Theirs.open(QIODevice::WriteOnly))
                Theirs.write("theirs");
        }
        return 0;
    });
    TScriptedMessageBoxes Boxes({mrNo});
    Form.PrintBtnClick();
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Boxes.Asked[0].Text, ChangedFileQuestion(Name, true, "chosen"));
    EXPECT_EQ(Boxes.Asked[1].Text, NotWrittenText(Name) + ".");
    EXPECT_EQ(Bytes(), "theirs");
    Boxes.Answers = {mrYes};
    ASSERT_TRUE(QFile::remove(Pdf));
    Form.PrintBtnClick();
    SetFileFaultHook({});
    EXPECT_EQ(Boxes.Asked.size(), 3u);
    EXPECT_EQ(PdfPages(Pdf), 3);
    // Printing again over the file that is there when printing begins asks nothing.
    Form.PrintBtnClick();
    EXPECT_EQ(Boxes.Asked.size(), 3u);
    EXPECT_EQ(PdfPages(Pdf), 3);
}

TEST_F(PrintDialogTest, APdfFileThatCannotBeWrittenSaysWhyAndKeepsTheFileThatWasThere)
{
    Prepare3();
    const std::string Name = QFile::encodeName(Pdf).toStdString();
    {
        QFile Old(Pdf);
        ASSERT_TRUE(Old.open(QIODevice::WriteOnly));
        Old.write("a file the user keeps");
    }
    const auto OldBytes = [this] {
        QFile F(Pdf);
        return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
    };
    const QImage Shown = Form.PrintPreview1->Pages(0).Bitmap.copy();
    TScriptedMessageBoxes Boxes({mrOk});
    // The disk fills up halfway through the file.
    SetFileFaultHook([](TFileStep Step, const std::string&) { return Step == TFileStep::Write ? ENOSPC : 0; });
    Form.PrintBtnClick();
    SetFileFaultHook({});
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text.rfind("Printing failed: ", 0), 0u) << Boxes.Asked[0].Text;
    EXPECT_NE(Boxes.Asked[0].Text.find(std::strerror(ENOSPC)), std::string::npos) << Boxes.Asked[0].Text;
    EXPECT_EQ(OldBytes(), "a file the user keeps");
    EXPECT_TRUE(Form.PrintPreview1->Pages(0).Bitmap == Shown);  // page 1 shows again

    // Marked read-only: kept unless the user agrees, then replaced by the whole file.
    ::chmod(Name.c_str(), 0444);
    Boxes.Answers = {mrNo};
    Form.PrintBtnClick();
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Boxes.Asked[1].Text, ReadOnlyQuestion);
    EXPECT_EQ(OldBytes(), "a file the user keeps");
    Boxes.Answers = {mrYes};
    Form.PrintBtnClick();
    EXPECT_EQ(PdfPages(Pdf), 3);
    EXPECT_TRUE(OldBytes().trimmed().endsWith("%%EOF"));
}

// Records the bar's value at each of its paints.
class TPaintRecorder : public QObject {
public:
    std::vector<int> Painted;
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint)
            Painted.push_back(static_cast<QProgressBar*>(Watched)->value());
        return false;
    }
};

TEST_F(PrintDialogTest, TheProgressBarIsPaintedForEveryPage)
{
    std::string Text = "page 1";
    for (int I = 2; I <= 12; ++I)
        Text += "\n\fpage " + std::to_string(I);
    Form.Prepare(QFont(), Text, TPrintMarginValues{});
    ASSERT_EQ(Form.TextParser->PageCount(), 12);
    TPaintRecorder Recorder;
    // Shown over the window that prints, never under it.
    Form.show();
    QApplication::setActiveWindow(&Form);
    ShowProgress("Printing NRV Document");
    ASSERT_TRUE(ProgressDlg().windowHandle());
    EXPECT_EQ(ProgressDlg().windowHandle()->transientParent(), Form.windowHandle());
    // Shown at once: mapped and painted before the first page goes out.
    ASSERT_TRUE(ProgressDlg().windowHandle());
    EXPECT_TRUE(ProgressDlg().windowHandle()->isExposed());
    ProgressDlg().ProgressBar1->installEventFilter(&Recorder);
    std::vector<int> Reported;
    Form.TextParser->Print(
        [&](int Percent) {
            UpdateProgress(Percent);
            Reported.push_back(Percent);
        },
        {});
    ProgressDlg().ProgressBar1->removeEventFilter(&Recorder);
    HideProgress();
    ASSERT_EQ(Reported.size(), 12u);
    for (const int Percent : Reported)
        EXPECT_NE(std::find(Recorder.Painted.begin(), Recorder.Painted.end(), Percent), Recorder.Painted.end())
            << Percent;
}

TEST_F(PrintDialogTest, AFormFeedIsDrawnOnItsLine)
{
    EXPECT_EQ(PrintableLineText("a\fb"), QString("a") + QChar(0x2640) + "b");
    EXPECT_EQ(PrintableLineText("\x01\x1f\x7f\xe9"), QString(QChar(0x263A)) + QChar(0x25BC) + QChar(0x7F) + QChar(0xE9));
    Form.Prepare(QFont(), "text\n\f\nmore", TPrintMarginValues{});
    TTextParser& P = *Form.TextParser;
    ASSERT_EQ(P.PageCount(), 2);
    P.Bitmap.fill(Qt::white);
    {
        QPainter C(&P.Bitmap);
        P.RenderPage(C, 1);
    }
    // The form feed's line, the first of page 2, is not blank.
    const QImage Row = P.Bitmap.copy(0, static_cast<int>(P.Margins.Top), P.Bitmap.width(), P.LineHeight);
    EXPECT_GT(InkIn(Row), 0);
}

}  // namespace
}  // namespace narvo
