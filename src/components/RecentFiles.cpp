// The recent-files submenu (see RecentFiles.h). The component keeps its own list of
// the actions it created, so that other items of the submenu are never touched and
// a submenu destroyed by its owner leaves the component with no menu, not a
// dangling one.
#include "components/RecentFiles.h"

#include "platform/MessageBoxes.h"
#include "platform/TextConvert.h"
#include "platform/posix/Admin.h"
#include "platform/posix/IniFile.h"
#include "platform/posix/SafeFile.h"

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <exception>
#include <string_view>
#include <unordered_map>

namespace narvo {

namespace {

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
    RemoveAllItems();
    FPaths.clear();
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

std::size_t TReopenMenu::ShownCount() const
{
    return std::min(FPaths.size(), static_cast<std::size_t>(std::max(Limit, MaxShownItems)));
}

void TReopenMenu::RemoveAllItems()
{
    // The items die with a destroyed submenu.
    if (FMenuItem) {
        for (QAction* Action : FActions) {
            FMenuItem->removeAction(Action);
            delete Action;
        }
    }
    FActions.clear();
}

void TReopenMenu::SyncMenu()
{
    if (!FMenuItem) {
        FActions.clear();
        return;
    }
    const std::size_t Wanted = ShownCount();
    while (FActions.size() > Wanted) {
        FMenuItem->removeAction(FActions.back());
        delete FActions.back();
        FActions.pop_back();
    }
    if (FActions.size() < Wanted) {
        // New items follow the last entry's item, before any other item of the submenu.
        const QList<QAction*> All = FMenuItem->actions();
        const auto After = FActions.empty() ? All.size() : All.indexOf(FActions.back()) + 1;
        QAction* Before = After < All.size() ? All.at(After) : nullptr;
        while (FActions.size() < Wanted) {
            auto* Action = new QAction(FMenuItem);
            connect(Action, &QAction::triggered, this, [this, Action] {
                const auto It = std::find(FActions.begin(), FActions.end(), Action);
                if (It != FActions.end())
                    MenuItemClick(static_cast<int>(It - FActions.begin()));
            });
            FMenuItem->insertAction(Before, Action);
            FActions.push_back(Action);
        }
    }
    for (std::size_t I = 0; I < FActions.size(); ++I) {
        // File names are shown as the file system's bytes decode.
        FActions[I]->setText(FileNameToQString(Caption(static_cast<int>(I))));
    }
}

void TReopenMenu::AddFile(const std::string& Path)
{
    if (!FMenuItem)
        return;
    if (MustExist && !IsRegularFile(Path))
        return;
    if (NoDuplicates)
        FPaths.erase(std::remove(FPaths.begin(), FPaths.end(), Path), FPaths.end());
    FPaths.insert(FPaths.begin(), Path);
    FPaths.resize(std::min(FPaths.size(), static_cast<std::size_t>(std::max(Limit, 0))));
    SyncMenu();
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
    FPaths.clear();
    try {
        const TIniFile Ini(INIFile);
        // Every key but "Count" may be an entry.
        const auto Keys = static_cast<std::int32_t>(Ini.ReadSection(INISection).size()) -
                          (Ini.ValueExists(INISection, "Count") ? 1 : 0);
        const std::int32_t Count = std::clamp(Ini.ReadInteger(INISection, "Count", 0), 0, Keys);
        FPaths.reserve(static_cast<std::size_t>(Count));
        for (std::int32_t I = 0; I < Count; ++I)
            FPaths.push_back(Ini.ReadString(INISection, "Path" + std::to_string(I), ""));
    } catch (const std::exception&) {
        ReportIniError();
    }
    if (NoDuplicates) {
        // Appending one by one moves a path met again to the end, so each path
        // stays where it is met last.
        std::unordered_map<std::string_view, std::size_t> Last;
        Last.reserve(FPaths.size());
        for (std::size_t I = 0; I < FPaths.size(); ++I)
            Last[FPaths[I]] = I;
        std::vector<bool> Keep(FPaths.size());
        for (std::size_t I = 0; I < FPaths.size(); ++I)
            Keep[I] = Last[FPaths[I]] == I;
        std::vector<std::string> Kept;
        Kept.reserve(Last.size());
        for (std::size_t I = 0; I < FPaths.size(); ++I)
            if (Keep[I])
                Kept.push_back(std::move(FPaths[I]));
        FPaths = std::move(Kept);
    }
    SyncMenu();
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
