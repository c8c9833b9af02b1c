// TFolderTree: a tree of folders below a root, each node filled when it is first
// expanded. It follows and drives a linked folder list and folder combo box (the
// list's SetFolderTree and SetFolderComboBox make the links): selecting a node moves
// them to its folder, and a folder set from them is found in the tree by expanding
// the way down to it. Names can be edited in place (a rename), a node that is not
// a folder opens its file when expanded, and with AutoRefresh the selected folder is
// watched and its node re-read when it changes.
#pragma once

#include "components/FolderLink.h"
#include "components/FolderWatch.h"
#include "components/ShellFolder.h"

#include <QPointer>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <string>

namespace narvo {

class TFolderNode;

class TFolderTree : public QTreeWidget, public TLinkedFolderView {
public:
    explicit TFolderTree(QWidget* Parent = nullptr);
    ~TFolderTree() override;

    // The root text (default "rfDesktop", resolved when first shown). An
    // unresolvable root raises "Error setting path: "%s"" and changes nothing.
    const TRoot& Root() const { return FRoot; }
    void SetRoot(const TRoot& Value) override;
    const TShellFolder* RootFolder() const { return FRootFolder.get(); }
    TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    void SetObjectTypes(TShellObjectTypes Value);
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value);
    bool ShowShellImages() const { return FShowShellImages; }
    void SetShowShellImages(bool Value);

    // Selects the node of the folder at Path, expanding the way down to it.
    void SetPath(const std::string& Path) override;
    // Re-reads the selected node, keeping what was expanded below it.
    void RefreshSelected();
    // The selected node's item, or none.
    TShellFolder* SelectedFolder() const;
    // The node of Path among the nodes built so far, or none.
    QTreeWidgetItem* FindNode(const std::string& Path) const;
    void ClearItems();

    std::function<void(TShellFolder& Folder, bool& CanAdd)> OnAddFolder;

    // Links, set by the folder list (and the combo box for the tree).
    TFolderViewLink LinkedList;
    TFolderViewLink LinkedComboBox;
    TFolderChangeNotifier* Notifier() const { return FNotifier; }

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void BuildRoot();
    void FillNode(TFolderNode& Node);
    void SetUpChild(TFolderNode& Node);
    void NodeExpanded(QTreeWidgetItem* Item);
    void SelectionChanged();
    void ItemEdited(QTreeWidgetItem* Item, int Column);
    void FreeNotifier();
    void WatchSelected();

    TRoot FRoot = "rfDesktop";
    std::unique_ptr<TShellFolder> FRootFolder;
    TShellObjectTypes FObjectTypes = otFolders;
    bool FAutoRefresh = false;
    bool FShowShellImages = true;
    bool FUpdating = false;
    bool FBuilding = false;
    QPointer<TFolderChangeNotifier> FNotifier;
};

}  // namespace narvo
