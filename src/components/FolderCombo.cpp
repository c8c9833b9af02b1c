// The folder combo box (see FolderCombo.h).
#include "components/FolderCombo.h"

#include <QFile>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace narvo {

namespace {

constexpr int IndentRole = Qt::UserRole + 1;
constexpr int IndentPixels = 10;

// Draws each entry of the drop-down list indented by its depth.
class TIndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        QStyleOptionViewItem Shifted = Option;
        Shifted.rect.setLeft(Shifted.rect.left() + Index.data(IndentRole).toInt() * IndentPixels);
        QStyledItemDelegate::paint(Painter, Shifted, Index);
    }
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        QSize S = QStyledItemDelegate::sizeHint(Option, Index);
        S.rwidth() += Index.data(IndentRole).toInt() * IndentPixels;
        return S;
    }
};

}  // namespace

TFolderComboBox::TFolderComboBox(QWidget* Parent) : QComboBox(Parent)
{
    setItemDelegate(new TIndentDelegate(this));
    // activated comes from the user's choice, after the drop-down has closed.
    connect(this, &QComboBox::activated, this, [this](int Index) { Chosen(Index); });
}

TFolderComboBox::~TFolderComboBox() { ClearEntries(); }

void TFolderComboBox::showEvent(QShowEvent* Event)
{
    QComboBox::showEvent(Event);
    if (!FRootFolder)
        try {
            FRootFolder = CreateRootFolder(FRoot);
            BuildRoot();
        } catch (const std::exception&) {
        }
}

void TFolderComboBox::ClearEntries()
{
    const QSignalBlocker Block(this);
    clear();
    FEntries.clear();
}

void TFolderComboBox::InsertEntry(int Index, std::unique_ptr<TShellFolder> Item)
{
    const QSignalBlocker Block(this);
    const int Depth = FRootFolder ? static_cast<int>(FolderChain(FRootFolder->PathName(), Item->PathName()).size()) : 0;
    const QString Caption = QFile::decodeName(QByteArray::fromStdString(Item->DisplayName()));
    if (FShowShellImages)
        insertItem(Index, Item->Icon(), Caption);
    else
        insertItem(Index, Caption);
    setItemData(Index, Depth, IndentRole);
    FEntries.insert(FEntries.begin() + Index, std::move(Item));
    if (OnGetImageIndex && FShowShellImages) {
        int ImageIndex = 0;
        OnGetImageIndex(Index, ImageIndex);
    }
}

void TFolderComboBox::AddItems(int Index, const TShellFolder& Parent)
{
    auto Items = EnumObjects(Parent, FObjectTypes);
    int At = Index + 1;
    for (auto& Item : Items)
        InsertEntry(At++, std::move(Item));
}

void TFolderComboBox::BuildRoot()
{
    if (!FRootFolder)
        return;
    ClearEntries();
    InsertEntry(0, std::make_unique<TShellFolder>(FRootFolder->PathName()));
    AddItems(0, *FEntries[0]);
    const QSignalBlocker Block(this);
    setCurrentIndex(0);
}

void TFolderComboBox::SetRoot(const TRoot& Value)
{
    if (FRootFolder && Value == FRoot)
        return;
    std::unique_ptr<TShellFolder> NewFolder = CreateRootFolder(Value);
    FRoot = Value;
    FRootFolder = std::move(NewFolder);
    FUpdating = true;
    BuildRoot();
    FUpdating = false;
    if (LinkedTree)
        LinkedTree->SetRoot(FRoot);
    if (LinkedList)
        LinkedList->SetRoot(FRoot);
}

void TFolderComboBox::SetObjectTypes(TShellObjectTypes Value)
{
    FObjectTypes = Value;
    if (FRootFolder)
        BuildRoot();
}

void TFolderComboBox::SetShowShellImages(bool Value)
{
    FShowShellImages = Value;
    if (FRootFolder)
        BuildRoot();
}

TShellFolder& TFolderComboBox::Folders(int Index) const
{
    if (FEntries.empty())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return *FEntries[static_cast<std::size_t>(std::clamp(Index, 0, static_cast<int>(FEntries.size()) - 1))];
}

int TFolderComboBox::Indent(int Index) const { return itemData(Index, IndentRole).toInt(); }

void TFolderComboBox::ChainTo(const std::string& Path)
{
    BuildRoot();
    if (FEntries.empty() || !IsBelowOrSame(Path, FRootFolder->PathName()))
        return;
    int Prev = 0;
    for (const std::string& Step : FolderChain(FRootFolder->PathName(), Path)) {
        int Found = -1;
        for (int I = static_cast<int>(FEntries.size()) - 1; I >= 0 && Found < 0; --I)
            if (FEntries[static_cast<std::size_t>(I)]->PathName() == Step)
                Found = I;
        if (Found < 0) {
            Found = Prev + 1;
            InsertEntry(Found, std::make_unique<TShellFolder>(Step, FEntries[static_cast<std::size_t>(Prev)].get()));
        }
        Prev = Found;
    }
    const QSignalBlocker Block(this);
    setCurrentIndex(Prev);
}

void TFolderComboBox::SetPath(const std::string& Path)
{
    if (FUpdating || !FRootFolder)
        return;
    const int Cur = currentIndex();
    if (Cur >= 0 && Cur < static_cast<int>(FEntries.size()) && FEntries[static_cast<std::size_t>(Cur)]->PathName() == Path)
        return;
    FUpdating = true;
    ChainTo(Path);
    FUpdating = false;
}

void TFolderComboBox::Chosen(int Index)
{
    if (FUpdating || Index < 0 || Index >= static_cast<int>(FEntries.size()))
        return;
    const std::string Path = FEntries[static_cast<std::size_t>(Index)]->PathName();
    FUpdating = true;
    ChainTo(Path);
    if (LinkedTree)
        LinkedTree->SetPath(Path);
    if (LinkedList)
        LinkedList->SetPath(Path);
    FUpdating = false;
}

}  // namespace narvo
