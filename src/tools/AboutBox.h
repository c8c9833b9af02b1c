// The modal about box: the program's name and icon, a version line and an author
// line computed from the executable's date and the build number, a line of credits
// and a link to the program's web site. A click on its panel shows the main
// window's hidden Debug menu.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QFrame;
class QPushButton;

namespace narvo {

class TWebLinkLabel;

// "Version 3.YY.M.D.Build" for a file modified at FileTime (seconds since 1970,
// taken in local time): the year's last two digits, month, day and the build
// number, without leading zeros.
std::string AboutVersionLine(std::int64_t FileTime, const std::string& Build);
// The author line with the file's four-digit year.
std::string AboutAuthorLine(std::int64_t FileTime);

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // ShowDebugMenu is run by a click on the panel.
    explicit TAboutBox(std::function<void()> ShowDebugMenu, QWidget* Parent = nullptr);

    // The two lines from the executable's date and the build number; an executable
    // whose date cannot be read leaves the date out.
    void SetVersionLines();
    void Panel1Click();

    QFrame* Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr, *Label1 = nullptr, *ProductName = nullptr, *Version = nullptr,
           *Author = nullptr, *Comments = nullptr;
    TWebLinkLabel* LinkLabel1 = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    std::function<void()> FShowDebugMenu;
};

}  // namespace narvo
