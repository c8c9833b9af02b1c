// TReopenMenu: the recently used files as the items of a submenu, most recent
// first, numbered for keyboard access, and kept in a section of an ini file
// ("Count", then "Path0", "Path1"... in menu order). Choosing an item reports its
// path through OnMenuClick.
//
// Paths are file-system bytes and compared exactly: on this platform two names that
// differ in letter case are two files, so neither may push the other out.
//
// The list may be longer than the submenu: a foreign or damaged ini can hold tens of
// thousands of entries, which load in linear time, but the submenu gets items for the
// first MaxShownItems entries only (or Limit, when that is larger).
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

    // The largest number of items the submenu shows when Limit is smaller; equal to
    // the largest limit the options offer, so a list within any limit shows whole.
    static constexpr int MaxShownItems = 30;

    // The full path of each entry, in menu order; the submenu's items show the first
    // of them (see ShownCount).
    const std::vector<std::string>& Paths() const { return FPaths; }
    // How many entries have an item in the submenu.
    std::size_t ShownCount() const;
    // The caption of entry Index as the design gives it ("&3 name"); a '&' in the
    // text is doubled so that it shows as itself.
    std::string Caption(int Index) const;

    // With MustExist, a path that is not an existing regular file is ignored;
    // otherwise it goes to the top and the list is cut to Limit.
    void AddFile(const std::string& Path);
    // Replaces the entries by the ini section's (no existence test, no cut). "Count"
    // is clamped to the keys the section holds, so a damaged count cannot make the
    // list huge. A path met again later in the section keeps its later place only.
    void LoadFromIni();
    // Writes the ini section: the files added since the list was last read or
    // written go on top of the list as the file holds it now (another window may
    // have written it), and that list becomes the entries. A name holding a line
    // break is left out and said. Nothing is written when no file was added, nor
    // to a settings file marked read-only.
    void SaveToIni();
    // Erases the ini section (the submenu keeps its items); warns first when the
    // program does not run as the administrator. An ini failure passes to the caller.
    void ClearHistory();
    // What a click on item Index does.
    void MenuItemClick(int Index);

private:
    // Gives the submenu one item per shown entry, each captioned from its index.
    void SyncMenu();
    void RemoveAllItems();
    void ReportIniError();
    void PutOnTop(std::vector<std::string>& Paths, const std::string& Path) const;

    QPointer<QMenu> FMenuItem;
    std::vector<std::string> FPaths;
    std::vector<std::string> FAdded;  // since the last load or save, oldest first
    std::vector<QAction*> FActions;
};

}  // namespace narvo
