// The folder tree (see FolderTree.h).
#include "components/FolderTree.h"

#include "platform/Application.h"
#include "platform/Shell.h"
#include "platform/TextConvert.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>

#include <algorithm>
#include <set>

namespace narvo {

// A node owns the item it shows; children are filled on first expansion.
class TFolderNode : public QTreeWidgetItem {
public:
    explicit TFolderNode(std::unique_ptr<TShellFolder> AItem) : Item(std::move(AItem)) {}
    std::unique_ptr<TShellFolder> Item;
    bool Filled = false;
};

namespace {

TFolderNode* NodeOf(QTreeWidgetItem* I) { return static_cast<TFolderNode*>(I); }

QString Shown(const std::string& Name) { return QFile::decodeName(QByteArray::fromStdString(Name)); }

}  // namespace

TFolderTree::TFolderTree(QWidget* Parent) : QTreeWidget(Parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* I) { NodeExpanded(I); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this] { SelectionChanged(); });
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* I, int C) { ItemEdited(I, C); });
}

TFolderTree::~TFolderTree()
{
    FreeNotifier();
    FUpdating = true;  // no link is moved while the nodes go
    ClearItems();
}

void TFolderTree::showEvent(QShowEvent* Event)
{
    QTreeWidget::showEvent(Event);
    if (!FRootFolder)
        try {
            FRootFolder = CreateRootFolder(FRoot);
            BuildRoot();
        } catch (const std::exception&) {
        }
}

void TFolderTree::ClearItems()
{
    const QSignalBlocker Block(this);
    clear();
}

void TFolderTree::SetRoot(const TRoot& Value)
{
    if (FRootFolder && Value == FRoot)
        return;
    std::unique_ptr<TShellFolder> NewFolder = CreateRootFolder(Value);
    FRoot = Value;
    FRootFolder = std::move(NewFolder);
    if (!FUpdating)
        BuildRoot();
    if (LinkedComboBox)
        LinkedComboBox->SetRoot(FRoot);
    if (LinkedList)
        LinkedList->SetRoot(FRoot);
}

void TFolderTree::SetObjectTypes(TShellObjectTypes Value)
{
    FObjectTypes = Value;
    if (FRootFolder && !FUpdating)
        BuildRoot();
}

void TFolderTree::SetShowShellImages(bool Value)
{
    FShowShellImages = Value;
    if (FRootFolder)
        BuildRoot();
}

void TFolderTree::BuildRoot()
{
    if (FBuilding || !FRootFolder)
        return;
    FBuilding = true;
    const bool Was = FUpdating;
    FUpdating = true;
    ClearItems();
    auto* Node = new TFolderNode(std::make_unique<TShellFolder>(FRootFolder->PathName()));
    Node->setText(0, Shown(Node->Item->DisplayName()));
    if (FShowShellImages)
        Node->setIcon(0, Node->Item->Icon());
    Node->setChildIndicatorPolicy(Node->Item->HasSubFolders() ? QTreeWidgetItem::ShowIndicator
                                                              : QTreeWidgetItem::DontShowIndicator);
    Node->setFlags(Node->flags() | Qt::ItemIsEditable);
    {
        const QSignalBlocker Block(this);
        addTopLevelItem(Node);
    }
    Node->setExpanded(true);
    setCurrentItem(Node);
    FUpdating = Was;
    FBuilding = false;
}

void TFolderTree::SetUpChild(TFolderNode& Node)
{
    const TShellFolder& Item = *Node.Item;
    Node.setText(0, Shown(Item.DisplayName()));
    if (FShowShellImages)
        Node.setIcon(0, Item.Icon());
    bool HasChildren = Item.HasSubFolders();
    if (FObjectTypes & otNonFolders)
        HasChildren = Item.HasEnumerableChildren(FObjectTypes);
    Node.setChildIndicatorPolicy(HasChildren ? QTreeWidgetItem::ShowIndicator
                                             : QTreeWidgetItem::DontShowIndicator);
    Node.setFlags(Node.flags() | Qt::ItemIsEditable);
}

void TFolderTree::FillNode(TFolderNode& Node)
{
    Node.Filled = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QSignalBlocker Block(this);
    auto Items = EnumObjects(*Node.Item, FObjectTypes);
    std::stable_sort(Items.begin(), Items.end(),
                     [](const auto& A, const auto& B) { return CompareFoldersFirst(A.get(), B.get()) < 0; });
    for (auto& Item : Items) {
        bool CanAdd = true;
        if (OnAddFolder)
            OnAddFolder(*Item, CanAdd);
        if (!CanAdd)
            continue;
        auto* Child = new TFolderNode(std::move(Item));
        SetUpChild(*Child);
        Node.addChild(Child);
    }
    QApplication::restoreOverrideCursor();
}

void TFolderTree::NodeExpanded(QTreeWidgetItem* I)
{
    TFolderNode& Node = *NodeOf(I);
    if (!Node.Item->IsFolder()) {
        // A file node opens its file instead of showing children.
        const QSignalBlocker Block(this);
        Node.setExpanded(false);
        try {
            OpenDocument(Node.Item->PathName());
        } catch (...) {
            ShowCurrentException();
        }
        return;
    }
    if (!Node.Filled)
        FillNode(Node);
    Node.setChildIndicatorPolicy(Node.childCount() > 0 ? QTreeWidgetItem::ShowIndicator
                                                       : QTreeWidgetItem::DontShowIndicator);
}

TShellFolder* TFolderTree::SelectedFolder() const
{
    QTreeWidgetItem* I = currentItem();
    return I ? NodeOf(I)->Item.get() : nullptr;
}

void TFolderTree::SelectionChanged()
{
    if (FUpdating)
        return;
    QTreeWidgetItem* I = currentItem();
    if (!I)
        return;
    if (!NodeOf(I)->Item->IsFolder() && I->parent())
        I = I->parent();
    const std::string Path = NodeOf(I)->Item->PathName();
    FUpdating = true;
    if (LinkedComboBox)
        LinkedComboBox->SetPath(Path);
    if (LinkedList)
        LinkedList->SetPath(Path);
    FUpdating = false;
    if (FAutoRefresh)
        WatchSelected();
}

QTreeWidgetItem* TFolderTree::FindNode(const std::string& Path) const
{
    if (topLevelItemCount() == 0)
        return nullptr;
    QTreeWidgetItem* Node = topLevelItem(0);
    const std::string& RootPath = NodeOf(Node)->Item->PathName();
    if (!IsBelowOrSame(Path, RootPath))
        return nullptr;
    for (const std::string& Step : FolderChain(RootPath, Path)) {
        QTreeWidgetItem* Found = nullptr;
        for (int C = 0; C < Node->childCount() && !Found; ++C)
            if (NodeOf(Node->child(C))->Item->PathName() == Step)
                Found = Node->child(C);
        if (!Found)
            return nullptr;
        Node = Found;
    }
    return Node;
}

void TFolderTree::SetPath(const std::string& Path)
{
    if (FUpdating || topLevelItemCount() == 0)
        return;
    if (TShellFolder* Sel = SelectedFolder(); Sel && Sel->PathName() == Path)
        return;
    QTreeWidgetItem* Node = topLevelItem(0);
    const std::string RootPath = NodeOf(Node)->Item->PathName();
    if (!IsBelowOrSame(Path, RootPath))
        return;
    FUpdating = true;
    for (const std::string& Step : FolderChain(RootPath, Path)) {
        Node->setExpanded(true);  // fills it
        QTreeWidgetItem* Found = nullptr;
        for (int C = 0; C < Node->childCount() && !Found; ++C)
            if (NodeOf(Node->child(C))->Item->PathName() == Step)
                Found = Node->child(C);
        if (!Found)
            break;
        Node = Found;
    }
    if (NodeOf(Node)->Item->PathName() == Path) {
        setCurrentItem(Node);
        scrollToItem(Node);
        if (LinkedComboBox)
            LinkedComboBox->SetPath(Path);
        if (LinkedList)
            LinkedList->SetPath(Path);
    }
    FUpdating = false;
    if (FAutoRefresh)
        WatchSelected();
}

void TFolderTree::RefreshSelected()
{
    QTreeWidgetItem* Sel = currentItem();
    if (!Sel)
        return;
    TFolderNode& Node = *NodeOf(Sel);
    // What was open below the node is opened again in the new sub-tree.
    std::set<std::string> Open;
    std::vector<QTreeWidgetItem*> Walk {Sel};
    while (!Walk.empty()) {
        QTreeWidgetItem* I = Walk.back();
        Walk.pop_back();
        if (I->isExpanded())
            Open.insert(NodeOf(I)->Item->PathName());
        for (int C = 0; C < I->childCount(); ++C)
            Walk.push_back(I->child(C));
    }
    const bool Was = FUpdating;
    FUpdating = true;
    {
        const QSignalBlocker Block(this);
        qDeleteAll(Node.takeChildren());
        Node.Filled = false;
        Node.setExpanded(false);
    }
    std::vector<QTreeWidgetItem*> Again {Sel};
    while (!Again.empty()) {
        QTreeWidgetItem* I = Again.back();
        Again.pop_back();
        if (Open.count(NodeOf(I)->Item->PathName())) {
            I->setExpanded(true);
            for (int C = 0; C < I->childCount(); ++C)
                Again.push_back(I->child(C));
        }
    }
    if (!Node.Filled && Node.Item->IsFolder())
        FillNode(Node);
    FUpdating = Was;
}

void TFolderTree::ItemEdited(QTreeWidgetItem* I, int Column)
{
    if (Column != 0 || FBuilding)
        return;
    TFolderNode& Node = *NodeOf(I);
    const std::string NewName = EditedFileName(Node.Item->DisplayName(), I->text(0));
    if (NewName == Node.Item->DisplayName())
        return;
    const QSignalBlocker Block(this);
    try {
        Node.Item->Rename(NewName);
    } catch (...) {
        I->setText(0, Shown(Node.Item->DisplayName()));
        ShowCurrentException();
        return;
    }
    // The nodes below carry the old path: they are read again when next opened.
    qDeleteAll(Node.takeChildren());
    Node.Filled = false;
    SetUpChild(Node);
}

void TFolderTree::FreeNotifier()
{
    if (!FNotifier)
        return;
    FNotifier->SetOnChange({});
    FNotifier->deleteLater();
    FNotifier = nullptr;
}

void TFolderTree::WatchSelected()
{
    FreeNotifier();
    const TShellFolder* Sel = SelectedFolder();
    const std::string Path = Sel ? Sel->PathName() : (FRootFolder ? FRootFolder->PathName() : std::string());
    if (Path.empty())
        return;
    FNotifier = new TFolderChangeNotifier(this);
    FNotifier->SetWatchSubTree(false);
    FNotifier->SetRoot(Path);
    FNotifier->SetOnChange([this] { RefreshSelected(); });
}

void TFolderTree::SetAutoRefresh(bool Value)
{
    FAutoRefresh = Value;
    if (Value)
        WatchSelected();
    else
        FreeNotifier();
}

}  // namespace narvo
