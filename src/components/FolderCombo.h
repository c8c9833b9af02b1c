// TFolderComboBox: a combo box showing a chain of folders: the root, the root's
// sub-folders, and the way down to the chosen folder, each entry indented by its
// depth below the root. Choosing an entry rebuilds the chain to it and moves a
// linked folder tree and folder list there (once the drop-down has closed);
// a folder set from them inserts the chain down to it.
#pragma once

#include "components/FolderLink.h"
#include "components/ShellFolder.h"

#include <QComboBox>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace narvo {

class TFolderComboBox : public QComboBox, public TLinkedFolderView {
public:
    explicit TFolderComboBox(QWidget* Parent = nullptr);
    ~TFolderComboBox() override;

    // The root text (default "rfDesktop", resolved when first shown). An
    // unresolvable root raises "Error setting path: "%s"" and changes nothing.
    const TRoot& Root() const { return FRoot; }
    void SetRoot(const TRoot& Value) override;
    TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    void SetObjectTypes(TShellObjectTypes Value);
    bool ShowShellImages() const { return FShowShellImages; }
    void SetShowShellImages(bool Value);

    // Selects the folder at Path, inserting the chain of folders down to it.
    void SetPath(const std::string& Path) override;
    // The item of entry Index; an index past the last entry gives the last one.
    TShellFolder& Folders(int Index) const;
    // The depth of entry Index below the root (its indent).
    int Indent(int Index) const;

    std::function<void(int Index, int& ImageIndex)> OnGetImageIndex;

    TFolderViewLink LinkedList;
    TFolderViewLink LinkedTree;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void BuildRoot();
    void AddItems(int Index, const TShellFolder& Parent);
    void InsertEntry(int Index, std::unique_ptr<TShellFolder> Item);
    void ClearEntries();
    void Chosen(int Index);
    void ChainTo(const std::string& Path);

    TRoot FRoot = "rfDesktop";
    std::unique_ptr<TShellFolder> FRootFolder;
    std::vector<std::unique_ptr<TShellFolder>> FEntries;  // entry i shows FEntries[i]
    TShellObjectTypes FObjectTypes = otFolders;
    bool FShowShellImages = true;
    bool FUpdating = false;
};

}  // namespace narvo
