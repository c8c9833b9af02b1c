// The recent-files submenu (see RecentFiles.h). The component keeps its own list of
// the actions it created, so that other items of the submenu are never touched and
// a submenu destroyed by its owner leaves the component with no menu, not a
// dangling one.
#include "components/RecentFiles.h"

#include "platform/MessageBoxes.h"
#include "platform/TextConvert.h"
#include "platform/posix/Admin.h"
#include "platform/posix/IniFile.h"

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <exception>
#include <sys/stat.h>

namespace narvo {

namespace {

bool IsExistingFile(const std::string& Path)
{
    struct stat St {};
    return !Path.empty() && ::stat(Path.c_str(), &St) == 0 && S_ISREG(St.st_mode);
}

std::string FileNamePart(const std::string& Path)
{
    const auto Slash = Path.rfind('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

std::string DoubleAmpersands(const std::string& S)
{
    std::string R;
    R.reserve(S.size());
    for (const char C : S) {
        R += C;
        if (C == '&')
            R += '&';
    }
    return R;
}

}  // namespace

TReopenMenu::TReopenMenu(QObject* Owner) : QObject(Owner) {}

TReopenMenu::~TReopenMenu() = default;

QMenu* TReopenMenu::MenuItem() const { return FMenuItem.data(); }

void TReopenMenu::SetMenuItem(QMenu* Menu)
{
    if (Menu == FMenuItem)
        return;
    RemoveAll();
    FMenuItem = Menu;
}

std::string TReopenMenu::Caption(int Index) const
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= FPaths.size())
        return {};
    const std::string& Path = FPaths[static_cast<std::size_t>(Index)];
    const std::string Text = DoubleAmpersands(ShowPath ? Path : FileNamePart(Path));
    if (!NumberItems)
        return Text;
    std::string Result = "&";
    Result += std::to_string(Index + 1);
    Result += ' ';
    Result += Text;
    return Result;
}

void TReopenMenu::RemoveEntry(std::size_t Index)
{
    if (FMenuItem && FActions[Index]) {
        FMenuItem->removeAction(FActions[Index]);
        delete FActions[Index];
    }
    FActions.erase(FActions.begin() + static_cast<std::ptrdiff_t>(Index));
    FPaths.erase(FPaths.begin() + static_cast<std::ptrdiff_t>(Index));
}

void TReopenMenu::RemoveAll()
{
    while (!FPaths.empty())
        RemoveEntry(FPaths.size() - 1);
}

void TReopenMenu::AddEntry(const std::string& Path, bool AtTop)
{
    if (NoDuplicates) {
        const auto It = std::find(FPaths.begin(), FPaths.end(), Path);
        if (It != FPaths.end())
            RemoveEntry(static_cast<std::size_t>(It - FPaths.begin()));
    }
    auto* Action = new QAction(FMenuItem);
    connect(Action, &QAction::triggered, this, [this, Action] {
        const auto It = std::find(FActions.begin(), FActions.end(), Action);
        if (It != FActions.end())
            MenuItemClick(static_cast<int>(It - FActions.begin()));
    });
    if (AtTop) {
        QAction* Before = FActions.empty() ? nullptr : FActions.front();
        FMenuItem->insertAction(Before, Action);
        FActions.insert(FActions.begin(), Action);
        FPaths.insert(FPaths.begin(), Path);
    } else {
        FMenuItem->addAction(Action);
        FActions.push_back(Action);
        FPaths.push_back(Path);
    }
}

void TReopenMenu::RebuildCaptions()
{
    for (std::size_t I = 0; I < FActions.size(); ++I) {
        // File names are shown as the file system's bytes decode.
        FActions[I]->setText(FileNameToQString(Caption(static_cast<int>(I))));
    }
}

void TReopenMenu::AddFile(const std::string& Path)
{
    if (!FMenuItem)
        return;
    if (MustExist && !IsExistingFile(Path))
        return;
    AddEntry(Path, true);
    while (FPaths.size() > static_cast<std::size_t>(std::max(Limit, 0)))
        RemoveEntry(FPaths.size() - 1);
    RebuildCaptions();
}

void TReopenMenu::ReportIniError()
{
    if (ShowErrors)
        MessageDlg("Unable to access: " + INIFile + "\r\nYou may not have permission to access the settings folder",
                   mtWarning, mbOK);
}

void TReopenMenu::LoadFromIni()
{
    if (!FMenuItem)
        return;
    RemoveAll();
    try {
        const TIniFile Ini(INIFile);
        // Every key but "Count" may be an entry.
        const auto Keys = static_cast<std::int32_t>(Ini.ReadSection(INISection).size()) -
                          (Ini.ValueExists(INISection, "Count") ? 1 : 0);
        const std::int32_t Count = std::clamp(Ini.ReadInteger(INISection, "Count", 0), 0, Keys);
        for (std::int32_t I = 0; I < Count; ++I)
            AddEntry(Ini.ReadString(INISection, "Path" + std::to_string(I), ""), false);
    } catch (const std::exception&) {
        ReportIniError();
    }
    RebuildCaptions();
}

void TReopenMenu::SaveToIni()
{
    if (!FMenuItem || INIFile.empty())
        return;
    try {
        TIniFile Ini(INIFile);
        Ini.EraseSection(INISection);
        Ini.WriteInteger(INISection, "Count", static_cast<std::int32_t>(FPaths.size()));
        for (std::size_t I = 0; I < FPaths.size(); ++I)
            Ini.WriteString(INISection, "Path" + std::to_string(I), FPaths[I]);
        Ini.UpdateFile();
    } catch (const std::exception&) {
        ReportIniError();
    }
}

void TReopenMenu::ClearHistory()
{
    if (!IsAdmin())
        MessageDlg("Must be run as Admin", mtWarning, mbOK);
    TIniFile Ini(INIFile);
    Ini.EraseSection(INISection);
    Ini.UpdateFile();
}

void TReopenMenu::MenuItemClick(int Index)
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= FPaths.size())
        return;
    const std::string Path = FPaths[static_cast<std::size_t>(Index)];
    if (OnMenuClick)
        OnMenuClick(this, Path);
    // The handler may have changed the list (opening the file adds it).
    if (UpdateOnClick)
        AddFile(Path);
}

}  // namespace narvo
