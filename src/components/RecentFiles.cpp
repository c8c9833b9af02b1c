// The recent-files submenu (see RecentFiles.h). The component keeps its own list of
// the actions it created, so that other items of the submenu are never touched and
// a submenu destroyed by its owner leaves the component with no menu, not a
// dangling one.
#include "components/RecentFiles.h"

#include "components/IniLists.h"

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
    FAdded.clear();
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
    PutOnTop(FPaths, Path);
    // Kept for the next save, which makes it on the list as the file holds it then.
    // Oldest first; only the last Limit can still be on the list.
    std::erase(FAdded, Path);
    FAdded.push_back(Path);
    if (FAdded.size() > static_cast<std::size_t>(std::max(Limit, 0)))
        FAdded.erase(FAdded.begin(), FAdded.end() - std::max(Limit, 0));
    SyncMenu();
}

void TReopenMenu::ReportIniError()
{
    if (ShowErrors)
        MessageDlg("Unable to access: " + INIFile + "\r\nYou may not have permission to access the settings folder",
                   mtWarning, mbOK);
}

namespace {

// The entries of the section as the file holds them now; with NoDuplicates a path
// met again keeps its later place.
std::vector<std::string> ReadPaths(const TIniFile& Ini, const std::string& Section, bool NoDuplicates)
{
    std::vector<std::string> Paths = ReadIniList(Ini, Section, "Path");
    if (!NoDuplicates)
        return Paths;
    // Appending one by one moves a path met again to the end, so each path
    // stays where it is met last.
    std::unordered_map<std::string_view, std::size_t> Last;
    Last.reserve(Paths.size());
    for (std::size_t I = 0; I < Paths.size(); ++I)
        Last[Paths[I]] = I;
    std::vector<bool> Keep(Paths.size());
    for (std::size_t I = 0; I < Paths.size(); ++I)
        Keep[I] = Last[Paths[I]] == I;
    std::vector<std::string> Kept;
    Kept.reserve(Last.size());
    for (std::size_t I = 0; I < Paths.size(); ++I)
        if (Keep[I])
            Kept.push_back(std::move(Paths[I]));
    return Kept;
}

}  // namespace

void TReopenMenu::PutOnTop(std::vector<std::string>& Paths, const std::string& Path) const
{
    if (NoDuplicates)
        Paths.erase(std::remove(Paths.begin(), Paths.end(), Path), Paths.end());
    Paths.insert(Paths.begin(), Path);
    Paths.resize(std::min(Paths.size(), static_cast<std::size_t>(std::max(Limit, 0))));
}

void TReopenMenu::LoadFromIni()
{
    if (!FMenuItem)
        return;
    FPaths.clear();
    FAdded.clear();
    try {
        FPaths = ReadPaths(TIniFile(INIFile), INISection, NoDuplicates);
    } catch (const std::exception&) {
        ReportIniError();
    }
    SyncMenu();
}

void TReopenMenu::SaveToIni()
{
    // Nothing added since the list was read: the file keeps what it holds.
    if (!FMenuItem || INIFile.empty() || FAdded.empty())
        return;
    std::vector<TNotStored> Dropped;
    try {
        TIniFile Ini(INIFile);
        // The list is written by the program itself: a file the user made
        // read-only is left alone.
        if (Ini.MarkedReadOnly())
            return;
        // Another window may have written the list since: this window's files go on
        // top of the list as the file holds it now, so both windows' files stay.
        std::vector<std::string> Paths = ReadPaths(Ini, INISection, NoDuplicates);
        for (const std::string& Path : FAdded)
            PutOnTop(Paths, Path);
        // A name the file cannot hold is left out, so the rest is written whole.
        Dropped = LeaveOutUnstorable(Paths);
        Ini.EraseSection(INISection);
        Ini.WriteInteger(INISection, "Count", static_cast<std::int32_t>(Paths.size()));
        for (std::size_t I = 0; I < Paths.size(); ++I)
            Ini.WriteString(INISection, "Path" + std::to_string(I), Paths[I]);
        Ini.UpdateFile();
        FPaths = std::move(Paths);
        FAdded.clear();
        SyncMenu();
    } catch (const std::exception&) {
        ReportIniError();
    }
    SayNotStored(Dropped, "the recent files", INIFile);
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
