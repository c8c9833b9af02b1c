// Every window fits a small screen, at the normal scale and at twice it: the main
// window, the print preview, the help window, the toolkit's font, colour, file, page
// setup and print dialogs (also grown by its options, and its printer's properties)
// and the progress box are opened on the program's main window in a child process whose
// offscreen screen is 800 x 500 logical pixels (800 x 500 at 1x, 1600 x 1000 at
// 2x), and each must lie wholly on the screen's available area.
#include "AppWindowFixture.h"

#include "app/HelpServices.h"
#include "components/ChmHelper.h"
#include "platform/FontChooser.h"
#include "platform/ScreenFit.h"
#include "tools/PPMain.h"
#include "tools/PPProgress.h"
#include "tools/PrintPreview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

namespace narvo {
namespace {

TEST(ScreenFit, GeometryHeldToTheAvailableArea)
{
    const QRect Screen(0, 30, 800, 470);  // a panel takes the top 30 pixels
    const QMargins Frame(2, 20, 2, 2);
    struct {
        QRect Asked;
        QSize Minimum;
        QRect Fitted;
    } const Cases[] = {
        {{100, 100, 300, 200}, {0, 0}, {100, 100, 300, 200}},     // fits: stays
        {{10, 40, 1800, 1280}, {0, 0}, {2, 50, 796, 448}},        // too big both ways
        {{700, 400, 300, 200}, {0, 0}, {498, 298, 300, 200}},     // off the bottom right: moved in
        {{-50, 0, 300, 200}, {0, 0}, {2, 50, 300, 200}},          // off the top left
        {{0, 0, 1800, 1280}, {900, 100}, {2, 50, 900, 448}},      // the layout's minimum wins
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FitGeometry(C.Asked, Frame, Screen, C.Minimum), C.Fitted) << C.Asked.width() << "x" << C.Asked.height();
}

constexpr int FitToScreenTitleRoom = 32;

// Opened in the child process only (see the test below).
class DISABLED_SmallScreen : public AppWindowFixture {
protected:
    void ExpectOnScreen(QWidget& W, const char* Name)
    {
        const QRect Area = W.screen()->availableGeometry();
        EXPECT_TRUE(Area.contains(W.frameGeometry()))
            << Name << ": " << W.frameGeometry().width() << "x" << W.frameGeometry().height() << "+"
            << W.frameGeometry().x() << "+" << W.frameGeometry().y() << " on " << Area.width() << "x" << Area.height();
        // Room for a window manager's title bar too, whose height this platform
        // does not know: the size the window's layout needs leaves it.
        EXPECT_LE(W.minimumSizeHint().height() + FitToScreenTitleRoom, Area.height()) << Name;
        EXPECT_LE(W.minimumSizeHint().width() + 8, Area.width()) << Name;
    }
    // Runs Check on the modal dialog of kind T that Open shows, then closes it.
    template <class T>
    void CheckModal(const std::function<void()>& Open, const char* Name)
    {
        int Seen = 0;
        QTimer Poll;
        Poll.setInterval(10);
        QObject::connect(&Poll, &QTimer::timeout, [&] {
            if (auto* D = qobject_cast<T*>(QApplication::activeModalWidget())) {
                ++Seen;
                ExpectOnScreen(*D, Name);
                D->reject();
            }
        });
        Poll.start();
        Open();
        EXPECT_EQ(Seen, 1) << Name;
    }
};

TEST_F(DISABLED_SmallScreen, EveryWindowLiesOnTheScreen)
{
    Form->resize(1400, 1000);
    Form->show();
    ExpectOnScreen(*Form, "main window");

    CreatePreForm(Form.get());
    TPreForm& Preview = *PreForm();
    Preview.Prepare(Main().font(), "text\n", TPrintMarginValues{});
    Preview.show();
    ExpectOnScreen(Preview, "print preview");
    EXPECT_TRUE(Preview.rect().contains(Preview.PrintBtn->geometry()));
    EXPECT_TRUE(Preview.rect().contains(Preview.CancelBtn->geometry()));

    CheckModal<QFontDialog>([&] { ChooseFixedFont(Form.get(), Main().font()); }, "font dialog");
    CheckModal<QColorDialog>([&] { QColorDialog::getColor(Qt::red, Form.get()); }, "colour dialog");
    {
        TFileDialogs* Scripted = SetFileDialogs(nullptr);  // the real file dialog
        CheckModal<QFileDialog>([&] { FileDialogs().OpenFileName(TFileDialogOptions{"Open", "All Files|*.*|"}); },
                                "file dialog");
        SetFileDialogs(Scripted);
    }
    CheckModal<QPageSetupDialog>([&] { Preview.SetupBtnClick(); }, "page setup dialog");
    QPrinter& Printer = CurrentPrinter();
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(QString::fromStdString(Path("out.pdf")));
    CheckModal<QPrintDialog>([&] { Preview.PrintBtnClick(); }, "print dialog");
    // The print dialog grows when its options are shown, after it is up, and its
    // printer's properties open in a window of their own.
    {
        int Seen = 0;
        QTimer Poll;
        Poll.setInterval(10);
        QObject::connect(&Poll, &QTimer::timeout, [&] {
            QWidget* Modal = QApplication::activeModalWidget();
            if (auto* D = qobject_cast<QPrintDialog*>(Modal); D && Seen == 0) {
                ++Seen;
                QPushButton* More = nullptr;
                for (QPushButton* B : D->findChildren<QPushButton*>())
                    if (B->text().contains("Options"))
                        More = B;
                ASSERT_NE(More, nullptr);
                More->click();
                QApplication::processEvents();
                ExpectOnScreen(*D, "print dialog with its options");
                auto* Properties = D->findChild<QAbstractButton*>("properties");
                ASSERT_NE(Properties, nullptr);
                QTimer::singleShot(0, Properties, &QAbstractButton::click);
            } else if (Modal && Modal != Form.get() && !qobject_cast<QPrintDialog*>(Modal) && Seen == 1) {
                ++Seen;
                ExpectOnScreen(*Modal, "printer properties");
                auto* D = qobject_cast<QDialog*>(Modal);
                ASSERT_NE(D, nullptr);
                D->reject();
                QTimer::singleShot(0, [] {
                    if (auto* P = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                        P->reject();
                });
            }
        });
        Poll.start();
        Preview.PrintBtnClick();
        EXPECT_EQ(Seen, 2);
    }
    Preview.hide();

    ShowProgress("Printing NRV Document");
    ExpectOnScreen(ProgressDlg(), "progress box");
    HideProgress();

    ASSERT_TRUE(ProgramHelp().DisplayTopic(""));
    ASSERT_NE(ProgramHelp().Window(), nullptr);
    ExpectOnScreen(*ProgramHelp().Window(), "help window");
    ProgramHelp().CloseAll();
}

// A message naming a file of 255 bytes wraps its path inside a box of a readable
// width, where the name was one word wider than the screen and the box shrank to a
// sliver scrolling its text; the text is the one given. So do the boxes' question and
// the error box of an operation that failed.
TEST_F(DISABLED_SmallScreen, AMessageNamingALongFileWrapsItsPath)
{
    Form->show();
    const std::string Name = "/tmp/folder/" + std::string(251, 'a') + ".txt";
    const std::string Text = "Cannot save \"" + Name + "\".";
    TMessageBoxes* Scripted = SetMessageBoxes(nullptr);  // the real message box
    const TExceptionReporter Reporter = SetExceptionReporter(nullptr);
    const std::function<void()> Ways[] = {
        [&] { MessageDlg(Text, mtError, mbOK); },
        [&] { MessageDlg("Save Changes?\r\n" + Name, mtWarning, mbYesNoCancel); },
        [&] { ShowExceptionMessage(Text); },
    };
    for (const auto& Show : Ways) {
        int Seen = 0;
        QTimer Poll;
        Poll.setInterval(10);
        QObject::connect(&Poll, &QTimer::timeout, [&] {
            auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!Box)
                return;
            ++Seen;
            EXPECT_EQ(Box->findChild<QScrollArea*>(), nullptr) << Seen;
            auto* Label = Box->findChild<QLabel*>("qt_msgbox_label");
            ASSERT_NE(Label, nullptr);
            EXPECT_GE(Label->width(), 200);
            EXPECT_LE(Label->heightForWidth(Label->width()), Label->height());
            EXPECT_TRUE(Label->text().remove(QChar(0x200B)).remove(u'\r').contains(QString::fromStdString(Name)));
            ExpectOnScreen(*Box, "message box");
            Box->reject();
        });
        Poll.start();
        Show();
        EXPECT_EQ(Seen, 1);
    }
    SetExceptionReporter(Reporter);
    SetMessageBoxes(Scripted);
}

TEST(ScreenFit, EveryWindowFitsASmallScreenAtOneAndTwoTimesTheScale)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    for (const int Scale : {1, 2}) {
        SCOPED_TRACE(Scale);
        const QString Config = Dir.filePath(QString("screen%1.json").arg(Scale));
        {
            QFile F(Config);
            ASSERT_TRUE(F.open(QIODevice::WriteOnly));
            F.write(QString(R"({"screens": [{"name": "Small", "x": 0, "y": 0, "width": %1, "height": %2,)"
                            R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                        .arg(800 * Scale)
                        .arg(500 * Scale)
                        .toUtf8());
        }
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + Config);
        Env.insert("QT_SCALE_FACTOR", QString::number(Scale));
        Env.remove("QT_SCREEN_SCALE_FACTORS");
        Env.remove("QT_AUTO_SCREEN_SCALE_FACTOR");
        Env.remove("QT_ENABLE_HIGHDPI_SCALING");
        QProcess Child;
        Child.setProcessEnvironment(Env);
        Child.setProcessChannelMode(QProcess::MergedChannels);
        Child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_also_run_disabled_tests", "--gtest_filter=DISABLED_SmallScreen.*"});
        ASSERT_TRUE(Child.waitForFinished(300000));
        const QString Output = QString::fromLocal8Bit(Child.readAll());
        EXPECT_EQ(Child.exitCode(), 0) << Output.toStdString();
        EXPECT_TRUE(Output.contains("[  PASSED  ] 2 tests")) << Output.toStdString();
    }
}

}  // namespace
}  // namespace narvo
