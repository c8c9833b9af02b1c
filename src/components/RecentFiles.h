// TReopenMenu: the recently used files as the items of a submenu, most recent
// first, numbered for keyboard access, and kept in a section of an ini file
// ("Count", then "Path0", "Path1"... in menu order). Choosing an item reports its
// path through OnMenuClick.
//
// Paths are file-system bytes and compared exactly: on this platform two names that
// differ in letter case are two files, so neither may push the other out.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace narvo {

using TMenuClickEvent = std::function<void(QObject* Sender, const std::string& Path)>;

class TReopenMenu : public QObject {
public:
    explicit TReopenMenu(QObject* Owner = nullptr);
    ~TReopenMenu() override;

    // --- published properties -----------------------------------------------------------
    std::string INIFile;     // a bare name lies in the settings folder
    std::string INISection;
    QMenu* MenuItem() const;
    // The submenu whose items are the entries (nullptr when it has been destroyed).
    void SetMenuItem(QMenu* Menu);
    TMenuClickEvent OnMenuClick;
    int Limit = 5;
    bool NumberItems = true;
    bool NoDuplicates = true;
    bool ShowPath = false;
    bool ShowErrors = false;
    bool UpdateOnClick = false;
    bool MustExist = true;

    // The full path of each submenu item, at the same index.
    const std::vector<std::string>& Paths() const { return FPaths; }
    // The caption of entry Index as the design gives it ("&3 name"); a '&' in the
    // text is doubled so that it shows as itself.
    std::string Caption(int Index) const;

    // With MustExist, a path that is not an existing regular file is ignored;
    // otherwise it goes to the top and the list is cut to Limit.
    void AddFile(const std::string& Path);
    // Replaces the entries by the ini section's (no existence test, no cut). "Count"
    // is clamped to the keys the section holds, so a damaged count cannot make the
    // menu huge.
    void LoadFromIni();
    // Replaces the ini section by the entries.
    void SaveToIni();
    // Erases the ini section (the submenu keeps its items); warns first when the
    // program does not run as the administrator. An ini failure passes to the caller.
    void ClearHistory();
    // What a click on item Index does.
    void MenuItemClick(int Index);

private:
    void AddEntry(const std::string& Path, bool AtTop);
    void RemoveEntry(std::size_t Index);
    void RemoveAll();
    void RebuildCaptions();
    void ReportIniError();

    QPointer<QMenu> FMenuItem;
    std::vector<std::string> FPaths;
    std::vector<QAction*> FActions;
};

}  // namespace narvo
