// The about box (see AboutBox.h).
#include "tools/AboutBox.h"

#include "components/LinkLabel.h"
#include "platform/ProgramIcon.h"
#include "shared/FileFolder.h"
#include "shared/VersionInfo.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <ctime>
#include <exception>

namespace narvo {

namespace {

constexpr const char* AuthorText = "Written by the Narvo developers,";
constexpr const char* CreditsText =
    "Thanks to everyone who reported faults, tried new builds and suggested improvements.";

std::tm LocalDate(std::int64_t FileTime)
{
    const auto T = static_cast<std::time_t>(FileTime);
    std::tm Parts{};
    localtime_r(&T, &Parts);
    return Parts;
}

}  // namespace

std::string AboutVersionLine(std::int64_t FileTime, const std::string& Build)
{
    const std::tm D = LocalDate(FileTime);
    return "Version 3." + std::to_string((D.tm_year + 1900) % 100) + "." + std::to_string(D.tm_mon + 1) + "." +
           std::to_string(D.tm_mday) + "." + Build;
}

std::string AboutAuthorLine(std::int64_t FileTime)
{
    return std::string(AuthorText) + " " + std::to_string(LocalDate(FileTime).tm_year + 1900);
}

TAboutBox::TAboutBox(std::function<void()> ShowDebugMenu, QWidget* Parent)
    : QDialog(Parent), FShowDebugMenu(std::move(ShowDebugMenu))
{
    setObjectName("AboutBox");
    setWindowTitle("About NRV");
    auto* Top = new QVBoxLayout(this);
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    QPalette Black = Panel1->palette();
    Black.setColor(QPalette::Window, Qt::black);
    Panel1->setPalette(Black);
    Panel1->installEventFilter(this);
    auto* Inside = new QVBoxLayout(Panel1);
    auto* Head = new QHBoxLayout;
    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setFixedSize(89, 89);
    ProgramIcon->setScaledContents(true);
    // Drawn for the screen's scale, so the icon stays sharp at 2x.
    ProgramIcon->setPixmap(ProgramIconPixmap(89, devicePixelRatioF()));
    Head->addWidget(ProgramIcon);
    auto* Names = new QVBoxLayout;
    Label1 = new QLabel("NARVO", Panel1);
    Label1->setStyleSheet("color: red; font-weight: bold; font-size: 28pt;");
    ProductName = new QLabel("(NRV For Linux)", Panel1);
    ProductName->setStyleSheet("color: red;");
    Names->addWidget(Label1);
    Names->addWidget(ProductName);
    Head->addLayout(Names);
    Inside->addLayout(Head);
    Version = new QLabel(Panel1);
    Author = new QLabel(Panel1);
    for (QLabel* L : {Version, Author}) {
        L->setStyleSheet("color: yellow; font-weight: bold;");
        L->setAlignment(Qt::AlignCenter);
        Inside->addWidget(L);
    }
    Comments = new QLabel(CreditsText, Panel1);
    Comments->setStyleSheet("color: white; font-weight: bold;");
    Comments->setAlignment(Qt::AlignCenter);
    Comments->setWordWrap(true);
    Inside->addWidget(Comments);
    LinkLabel1 = new TWebLinkLabel(Panel1);
    LinkLabel1->setAlignment(Qt::AlignCenter);
    Inside->addWidget(LinkLabel1);
    Top->addWidget(Panel1);
    OKButton = new QPushButton("OK", this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* Row = new QHBoxLayout;
    Row->addStretch();
    Row->addWidget(OKButton);
    Row->addStretch();
    Top->addLayout(Row);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    SetVersionLines();
}

void TAboutBox::SetVersionLines()
{
    const std::string Build = GetBuildNumber();
    try {
        const std::string Exe = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
        const std::int64_t Time = GetFileDateTime(Exe);
        Version->setText(QString::fromStdString(AboutVersionLine(Time, Build)));
        Author->setText(QString::fromStdString(AboutAuthorLine(Time)));
    } catch (const std::exception&) {
        // No date to show: the box still opens, with what is known.
        Version->setText(QString::fromStdString("Version 3." + Build));
        Author->setText(AuthorText);
    }
}

void TAboutBox::Panel1Click()
{
    if (FShowDebugMenu)
        FShowDebugMenu();
}

bool TAboutBox::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == Panel1 && Event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton)
        Panel1Click();
    return QDialog::eventFilter(Watched, Event);
}

}  // namespace narvo
