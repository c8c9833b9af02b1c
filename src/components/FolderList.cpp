// The folder list view and its row model (see FolderList.h).
#include "components/FolderList.h"

#include "components/FolderCombo.h"
#include "components/FolderTree.h"
#include "components/FolderWatch.h"
#include "platform/Application.h"
#include "platform/Shell.h"
#include "platform/TextConvert.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace narvo {

namespace {

std::array<bool, SortDirectionCount> SortDirections {};

struct TColumnDef {
    const char* Caption;
    Qt::Alignment Align;
    int Width;  // in widths of "X"
};
constexpr std::array<TColumnDef, 4> DefaultColumns = {{
    {"Name", Qt::AlignLeft, 25},
    {"Size", Qt::AlignRight, 10},
    {"Type", Qt::AlignLeft, 10},
    {"Modified", Qt::AlignLeft, 14},
}};

unsigned char Upper(char C)
{
    const auto B = static_cast<unsigned char>(C);
    return B >= 'a' && B <= 'z' ? static_cast<unsigned char>(B - 32) : B;
}

bool HasPrefixNoCase(const std::string& Name, const std::string& Prefix)
{
    if (Prefix.size() > Name.size())
        return false;
    for (std::size_t I = 0; I < Prefix.size(); ++I)
        if (Upper(Name[I]) != Upper(Prefix[I]))
            return false;
    return true;
}

}  // namespace

bool SortDirection(int Column)
{
    return Column >= 0 && Column < SortDirectionCount && SortDirections[static_cast<std::size_t>(Column)];
}

void ResetSortDirections() { SortDirections.fill(false); }

// --- the row model -------------------------------------------------------------------------

class TFolderListModel : public QAbstractTableModel {
public:
    explicit TFolderListModel(TFolderList& List) : QAbstractTableModel(&List), FList(List) {}

    int rowCount(const QModelIndex& Parent) const override { return Parent.isValid() ? 0 : FList.Count(); }
    int columnCount(const QModelIndex& Parent) const override
    {
        return Parent.isValid() ? 0 : static_cast<int>(DefaultColumns.size());
    }

    QVariant data(const QModelIndex& Index, int Role) const override
    {
        if (!Index.isValid() || Index.row() >= FList.Count())
            return {};
        TShellFolder& Item = *FList.FFolders[static_cast<std::size_t>(Index.row())];
        const int Col = Index.column();
        switch (Role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (Col == 0)
                return FileNameToQString(Item.DisplayName());
            Item.LoadColumnDetails(static_cast<int>(DefaultColumns.size()));
            return AnsiToQString(Item.ColumnDetail(Col));
        case Qt::DecorationRole:
            return Col == 0 ? QVariant(Item.Icon()) : QVariant();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(DefaultColumns[static_cast<std::size_t>(Col)].Align | Qt::AlignVCenter);
        default:
            return {};
        }
    }

    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override
    {
        if (Orientation != Qt::Horizontal || Section < 0 || Section >= static_cast<int>(DefaultColumns.size()))
            return {};
        if (Role == Qt::DisplayRole)
            return QString::fromLatin1(DefaultColumns[static_cast<std::size_t>(Section)].Caption);
        if (Role == Qt::TextAlignmentRole)
            return QVariant::fromValue(DefaultColumns[static_cast<std::size_t>(Section)].Align | Qt::AlignVCenter);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& Index) const override
    {
        Qt::ItemFlags F = QAbstractTableModel::flags(Index);
        if (Index.isValid() && Index.column() == 0 && !FList.ReadOnly())
            F |= Qt::ItemIsEditable;
        return F;
    }

    // The end of an in-place edit: the item is renamed; a refused name is reported
    // and the row keeps its name.
    bool setData(const QModelIndex& Index, const QVariant& Value, int Role) override
    {
        if (Role != Qt::EditRole || !Index.isValid() || Index.column() != 0 || Index.row() >= FList.Count())
            return false;
        TShellFolder& Item = *FList.FFolders[static_cast<std::size_t>(Index.row())];
        const std::string NewName = EditedFileName(Item.DisplayName(), Value.toString());
        if (NewName == Item.DisplayName())
            return false;
        try {
            Item.Rename(NewName);
        } catch (...) {
            ShowCurrentException();
            return false;
        }
        emit dataChanged(index(Index.row(), 0), index(Index.row(), columnCount({}) - 1));
        return true;
    }

    void Reset(const std::function<void()>& Change)
    {
        beginResetModel();
        Change();
        endResetModel();
    }
    void Reorder(const std::function<void()>& Change)
    {
        emit layoutAboutToBeChanged();
        Change();
        emit layoutChanged();
    }

private:
    TFolderList& FList;
};

// --- the list --------------------------------------------------------------------------------

TFolderList::TFolderList(QWidget* Parent) : QTreeView(Parent)
{
    FModel = new TFolderListModel(*this);
    setModel(FModel);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    SetReadOnly(false);
    const int X = fontMetrics().horizontalAdvance(QLatin1Char('X'));
    for (std::size_t C = 0; C < DefaultColumns.size(); ++C)
        header()->resizeSection(static_cast<int>(C), DefaultColumns[C].Width * X);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int Column) {
        if (OnColumnClick)
            OnColumnClick(Column);
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (OnSelectItem)
            OnSelectItem();
    });
}

TFolderList::~TFolderList()
{
    FreeNotifier();
    FFolders.clear();
}

void TFolderList::showEvent(QShowEvent* Event)
{
    QTreeView::showEvent(Event);
    if (!FRootFolder) {
        // The default root is resolved once there is something to show; a root
        // without a counterpart leaves the list empty.
        try {
            FRootFolder = CreateRootFolder(FRoot);
            RebuildFromRoot();
        } catch (const std::exception&) {
        }
    }
}

void TFolderList::SetRoot(const TRoot& Value)
{
    if (FRootFolder && Value == FRoot)
        return;
    std::unique_ptr<TShellFolder> NewFolder = CreateRootFolder(Value);  // raises; nothing changed yet
    FRoot = Value;
    FRootFolder = std::move(NewFolder);
    FRootSetByName = true;
    RebuildFromRoot();
}

void TFolderList::SetPath(const std::string& Path)
{
    if (FUpdating)
        return;
    if (FRootFolder && FRootFolder->PathName() == Path)
        return;
    FRootFolder = std::make_unique<TShellFolder>(Path);
    FRootSetByName = false;
    RebuildFromRoot();
}

void TFolderList::GoUp()
{
    if (!FRootFolder || FRootFolder->PathName() == "/")
        return;
    const std::string& P = FRootFolder->PathName();
    const std::size_t Slash = P.rfind('/');
    SetPath(Slash == 0 || Slash == std::string::npos ? std::string("/") : P.substr(0, Slash));
}

void TFolderList::RebuildFromRoot()
{
    if (FUpdating)
        return;
    FUpdating = true;
    const bool Auto = FAutoRefresh;
    SetAutoRefresh(false);
    SyncLinkedViews();
    FillItems();
    SetAutoRefresh(Auto);
    FUpdating = false;
}

void TFolderList::SyncLinkedViews()
{
    if (FRootSetByName) {
        if (FTree)
            FTree->SetRoot(FRoot);
        if (FCombo)
            FCombo->SetRoot(FRoot);
    } else if (FRootFolder) {
        if (FTree)
            FTree->SetPath(FRootFolder->PathName());
        if (FCombo)
            FCombo->SetPath(FRootFolder->PathName());
    }
    FRootSetByName = false;
}

TFolderTree* TFolderList::FolderTree() const { return FTree; }

TFolderComboBox* TFolderList::FolderComboBox() const { return FCombo; }

void TFolderList::SetFolderTree(TFolderTree* Tree)
{
    if (Tree == FTree)
        return;
    if (FTree && FTree->LinkedList == this)
        FTree->LinkedList = nullptr;
    FTree = Tree;
    if (Tree) {
        Tree->LinkedList = this;
        Tree->SetRoot(FRoot);
    }
}

void TFolderList::SetFolderComboBox(TFolderComboBox* Combo)
{
    if (Combo == FCombo)
        return;
    if (FCombo && FCombo->LinkedList == this)
        FCombo->LinkedList = nullptr;
    FCombo = Combo;
    if (Combo) {
        Combo->LinkedList = this;
        Combo->SetRoot(FRoot);
    }
}

void TFolderList::FillItems()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct TRestore {
        ~TRestore() { QApplication::restoreOverrideCursor(); }
    } Restore;
    FModel->Reset([this] {
        FFolders.clear();
        if (!FRootFolder)
            return;
        for (auto& Item : EnumObjects(*FRootFolder, FObjectTypes)) {
            bool CanAdd = true;
            if (OnAddFolder)
                OnAddFolder(*Item, CanAdd);
            if (CanAdd)
                FFolders.push_back(std::move(Item));
        }
        if (FSorted)
            std::stable_sort(FFolders.begin(), FFolders.end(), [](const auto& A, const auto& B) {
                return CompareFoldersFirst(A.get(), B.get()) < 0;
            });
    });
}

void TFolderList::SetObjectTypes(TShellObjectTypes Value)
{
    FObjectTypes = Value;
    RebuildFromRoot();
}

void TFolderList::SetSorted(bool Value)
{
    if (Value == FSorted)
        return;
    FSorted = Value;
    FillItems();
}

void TFolderList::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    setEditTriggers(Value ? QAbstractItemView::NoEditTriggers
                          : QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
}

void TFolderList::FreeNotifier()
{
    if (!FNotifier)
        return;
    // Stopped now; freed later, since this may run inside the notifier's own call.
    FNotifier->SetOnChange({});
    FNotifier->deleteLater();
    FNotifier = nullptr;
}

void TFolderList::SetAutoRefresh(bool Value)
{
    FAutoRefresh = Value;
    FreeNotifier();
    if (Value && FRootFolder) {
        FNotifier = new TFolderChangeNotifier(this);
        FNotifier->SetWatchSubTree(false);
        FNotifier->SetRoot(FRootFolder->PathName());
        FNotifier->SetOnChange([this] { Refresh(); });
    }
}

TShellFolder& TFolderList::Folders(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return *FFolders[static_cast<std::size_t>(Index)];
}

std::vector<int> TFolderList::SelectedRows() const
{
    std::vector<int> Rows;
    for (const QModelIndex& I : selectionModel()->selectedRows())
        Rows.push_back(I.row());
    std::sort(Rows.begin(), Rows.end());
    return Rows;
}

int TFolderList::SelectedIndex() const
{
    const std::vector<int> Rows = SelectedRows();
    return Rows.empty() ? -1 : Rows.front();
}

TShellFolder* TFolderList::SelectedFolder() const
{
    const int Row = SelectedIndex();
    return Row >= 0 && Row < Count() ? FFolders[static_cast<std::size_t>(Row)].get() : nullptr;
}

void TFolderList::SelectRow(int Row, bool Only)
{
    if (Row < 0 || Row >= Count())
        return;
    const QModelIndex I = FModel->index(Row, 0);
    auto Flags = QItemSelectionModel::Select | QItemSelectionModel::Rows;
    if (Only)
        Flags |= QItemSelectionModel::Clear;
    selectionModel()->setCurrentIndex(I, Flags);
    scrollTo(I);
}

void TFolderList::KeepSelectionOnFiles(const std::function<void()>& Change)
{
    // Rows move under a re-read (a file made or removed meanwhile) and under a sort:
    // the selection and the current row follow the files, so that an action on the
    // selection reaches the file the user chose and no other. A chosen file that is
    // gone is no longer selected.
    std::vector<std::string> Selected;
    for (const int Row : SelectedRows())
        Selected.push_back(FFolders[static_cast<std::size_t>(Row)]->PathName());
    const QModelIndex Current = currentIndex();
    const std::string CurrentPath =
        Current.isValid() && Current.row() < Count() ? FFolders[static_cast<std::size_t>(Current.row())]->PathName()
                                                     : std::string();
    {
        const QSignalBlocker Quiet(selectionModel());
        clearSelection();
    }
    Change();
    std::sort(Selected.begin(), Selected.end());
    QItemSelection Rows;
    int CurrentRow = -1, FirstSelected = -1;
    for (int Row = 0; Row < Count(); ++Row) {
        const std::string& Path = FFolders[static_cast<std::size_t>(Row)]->PathName();
        if (std::binary_search(Selected.begin(), Selected.end(), Path)) {
            Rows.select(FModel->index(Row, 0), FModel->index(Row, FModel->columnCount({}) - 1));
            if (FirstSelected < 0)
                FirstSelected = Row;
        }
        if (!CurrentPath.empty() && Path == CurrentPath)
            CurrentRow = Row;
    }
    if (CurrentRow < 0)
        CurrentRow = FirstSelected;
    if (CurrentRow >= 0) {
        selectionModel()->setCurrentIndex(FModel->index(CurrentRow, 0), QItemSelectionModel::NoUpdate);
        scrollTo(FModel->index(CurrentRow, 0));
    }
    // One change of the selection, told once, whatever happened to the rows meanwhile.
    selectionModel()->select(Rows, QItemSelectionModel::ClearAndSelect);
    if (Rows.isEmpty() && !Selected.empty() && OnSelectItem)
        OnSelectItem();
}

void TFolderList::Refresh()
{
    KeepSelectionOnFiles([this] {
        if (FRootFolder) {
            const std::string Path = FRootFolder->PathName();
            FRootFolder.reset();
            SetPath(Path);
        }
    });
}

void TFolderList::SortByColumn(int Column)
{
    if (Column < 0 || Column >= SortDirectionCount)
        return;
    const bool Descending = SortDirections[static_cast<std::size_t>(Column)];
    KeepSelectionOnFiles([&] {
        FModel->Reorder([&] {
            std::stable_sort(FFolders.begin(), FFolders.end(), [&](const auto& A, const auto& B) {
                return Descending ? CompareIDs(Column, *B, *A) < 0 : CompareIDs(Column, *A, *B) < 0;
            });
        });
    });
    SortDirections[static_cast<std::size_t>(Column)] = !Descending;
    viewport()->update();
}

int TFolderList::FindItem(const std::string& Text, int Start, bool Wrap) const
{
    const int N = Count();
    if (N == 0)
        return -1;
    if (Start < 0 || Start >= N) {
        if (!Wrap && Start >= N)
            return -1;
        Start = 0;
    }
    int I = Start;
    for (;;) {
        if (HasPrefixNoCase(FFolders[static_cast<std::size_t>(I)]->DisplayName(), Text))
            return I;
        if (++I >= N) {
            if (!Wrap)
                return -1;
            I = 0;
        }
        if (I == Start)
            return -1;
    }
}

void TFolderList::keyboardSearch(const QString& Search)
{
    if (Search.isEmpty())
        return;
    if (!FTypedTimer.isValid() || FTypedTimer.elapsed() > QApplication::keyboardInputInterval())
        FTyped.clear();
    FTypedTimer.start();
    FTyped += QFile::encodeName(Search).toStdString();
    const int Current = currentIndex().isValid() ? currentIndex().row() : -1;
    // A fresh first letter moves on from the current row; a longer prefix may stay.
    const int Start = FTyped.size() == 1 ? Current + 1 : std::max(Current, 0);
    const int Row = FindItem(FTyped, Start >= Count() ? 0 : Start, true);
    if (Row >= 0)
        SelectRow(Row);
}

void TFolderList::OpenItem(TShellFolder& Item)
{
    if (Item.IsFolder()) {
        SetPath(Item.PathName());
        return;
    }
    try {
        OpenDocument(Item.PathName());
    } catch (...) {
        ShowCurrentException();
    }
}

void TFolderList::keyPressEvent(QKeyEvent* Event)
{
    if (AutoNavigate && state() != QAbstractItemView::EditingState) {
        const int Key = Event->key();
        if (Key == Qt::Key_F5) {
            Refresh();
            return;
        }
        if (Key == Qt::Key_Backspace) {
            GoUp();
            return;
        }
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            // Alt+Enter asks for a property sheet, which has no counterpart here.
            if (!(Event->modifiers() & Qt::AltModifier))
                if (TShellFolder* Item = SelectedFolder())
                    OpenItem(*Item);
            return;
        }
    }
    QTreeView::keyPressEvent(Event);
}

void TFolderList::mouseDoubleClickEvent(QMouseEvent* Event)
{
    if (AutoNavigate)
        if (TShellFolder* Item = SelectedFolder()) {
            OpenItem(*Item);
            return;  // the rows may have been rebuilt
        }
    QTreeView::mouseDoubleClickEvent(Event);
}

void TFolderList::RunVerb(const std::string& Verb)
{
    TShellFolder* Item = SelectedFolder();
    if (!Item)
        return;
    if (Verb == "open") {
        OpenItem(*Item);
    } else if (Verb == "rename") {
        edit(FModel->index(SelectedIndex(), 0));
    } else if (Verb == "delete") {
        std::string Error;
        for (const int Row : SelectedRows())
            if (!MoveToTrash(Folders(Row).PathName(), Error))
                ShowExceptionMessage(Error);
        Refresh();
    }
}

// The desktop's own item menu has no counterpart here; the list offers its verbs.
void TFolderList::contextMenuEvent(QContextMenuEvent* Event)
{
    if (!AutoContextMenus || !SelectedFolder()) {
        QTreeView::contextMenuEvent(Event);
        return;
    }
    QMenu Menu(this);
    QAction* Open = Menu.addAction(QStringLiteral("&Open"));
    QAction* Rename = Menu.addAction(QStringLiteral("Rena&me"));
    Rename->setEnabled(!FReadOnly);
    QAction* Delete = Menu.addAction(QStringLiteral("Move to &Trash"));
    QAction* Chosen = Menu.exec(Event->globalPos());
    if (Chosen == Open)
        RunVerb("open");
    else if (Chosen == Rename)
        RunVerb("rename");
    else if (Chosen == Delete)
        RunVerb("delete");
}

}  // namespace narvo
