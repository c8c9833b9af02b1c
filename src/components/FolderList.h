// TFolderList: a list view of the items of one folder (its files, its sub-folders
// or both) in report view with the columns "Name", "Size", "Type" and "Modified".
// Rows are fetched only when painted. The list navigates into folders, opens files
// with the user's program, renames in place, refreshes itself on F5 or from a
// change notifier (AutoRefresh), and finds rows by typed prefix. A column sort
// toggles between ascending and descending on each use, one direction per column,
// shared by every folder list of the run; a refill gives the name order again
// (folders first when Sorted).
#pragma once

#include "components/FolderLink.h"
#include "components/FolderWatch.h"
#include "components/ShellFolder.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTreeView>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace narvo {

class TFolderListModel;
class TFolderTree;
class TFolderComboBox;

// Column sort directions: True means the next sort by that column is descending.
inline constexpr int SortDirectionCount = 24;
bool SortDirection(int Column);
void ResetSortDirections();

class TFolderList : public QTreeView, public TLinkedFolderView {
public:
    explicit TFolderList(QWidget* Parent = nullptr);
    ~TFolderList() override;

    // The root text last given by name (the default "rfDesktop" is resolved when
    // the list is first shown). An unresolvable root raises "Error setting path:
    // "%s"" and leaves the folder, its rows and this text as they were.
    const TRoot& Root() const { return FRoot; }
    void SetRoot(const TRoot& Value) override;
    // The shown folder (none when the root could not be resolved).
    const TShellFolder* RootFolder() const { return FRootFolder.get(); }
    // Shows the folder at an absolute path (navigation; Root keeps its text).
    void SetPath(const std::string& Path) override;
    // Shows the parent of the shown folder; nothing at the root of the file system.
    void GoUp();

    TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    void SetObjectTypes(TShellObjectTypes Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool AutoNavigate = true;
    bool AutoContextMenus = true;

    int Count() const { return static_cast<int>(FFolders.size()); }
    // The item of row Index; raises std::out_of_range for an index outside the list.
    TShellFolder& Folders(int Index) const;
    // The item of the first selected row, or none.
    TShellFolder* SelectedFolder() const;
    // The first selected row, -1 for none; all selected rows in ascending order.
    int SelectedIndex() const;
    std::vector<int> SelectedRows() const;
    // Selects Row (adding to the selection unless Only), makes it current and shows it.
    void SelectRow(int Row, bool Only = true);

    // Re-reads the folder; the selection and the current row stay on the same files
    // (a selected file that is gone is no longer selected).
    void Refresh();
    // Sorts the rows by Column and toggles that column's direction; the selection
    // stays on the same files.
    void SortByColumn(int Column);
    // The first row from Start downward whose name begins with Text (ASCII case
    // ignored); after the last row it goes on at row 0 when Wrap. -1 when none.
    int FindItem(const std::string& Text, int Start, bool Wrap) const;

    // Fired for each enumerated item; CanAdd false leaves it out.
    std::function<void(TShellFolder& Folder, bool& CanAdd)> OnAddFolder;
    // A click on a column header (the list does not sort by itself).
    std::function<void(int Column)> OnColumnClick;
    // Every change of the selection, selecting or deselecting.
    std::function<void()> OnSelectItem;

    // Linked views follow the list's folder; linking gives them the list's root.
    // A linked view that is destroyed is forgotten.
    TFolderTree* FolderTree() const;
    void SetFolderTree(TFolderTree* Tree);
    TFolderComboBox* FolderComboBox() const;
    void SetFolderComboBox(TFolderComboBox* Combo);

    // The notifier while AutoRefresh is on (for tests).
    TFolderChangeNotifier* Notifier() const { return FNotifier; }

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void keyboardSearch(const QString& Search) override;

private:
    friend class TFolderListModel;
    void RebuildFromRoot();
    void SyncLinkedViews();
    void FillItems();
    void FreeNotifier();
    void KeepSelectionOnFiles(const std::function<void()>& Change);
    void OpenItem(TShellFolder& Item);
    void RunVerb(const std::string& Verb);

    TRoot FRoot = "rfDesktop";
    std::unique_ptr<TShellFolder> FRootFolder;
    std::vector<std::unique_ptr<TShellFolder>> FFolders;
    TShellObjectTypes FObjectTypes = otFolders | otNonFolders;
    bool FSorted = true;
    bool FAutoRefresh = false;
    bool FReadOnly = false;
    bool FUpdating = false;
    bool FRootSetByName = false;
    QPointer<TFolderTree> FTree;
    QPointer<TFolderComboBox> FCombo;
    TFolderListModel* FModel = nullptr;
    QPointer<TFolderChangeNotifier> FNotifier;
    std::string FTyped;
    QElapsedTimer FTypedTimer;
};

}  // namespace narvo
