// The favourites list, its section of the settings file and the "Favorites" dialog.
#include "tools/Favorites.h"

#include "components/AutoButton.h"
#include "components/IniLists.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/IniFile.h"
#include "shared/ListMerge.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <utility>

namespace narvo {

std::vector<std::string> ReadFavorites(const TIniFile& Ini)
{
    return ReadIniList(Ini, FavoritesSection, "Item");
}

void WriteFavorites(TIniFile& Ini, const std::vector<std::string>& List)
{
    Ini.WriteInteger(FavoritesSection, "Count", static_cast<std::int32_t>(List.size()));
    for (std::size_t I = 0; I < List.size(); ++I)
        Ini.WriteString(FavoritesSection, "Item" + std::to_string(I), List[I]);
    Ini.UpdateFile();
}

int FavoritesGridRows(int Count) { return std::max(Count + 1, 10); }

namespace {

std::string FilePart(const std::string& Path)
{
    const auto Slash = Path.find_last_of('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

}  // namespace

TFavoritesDlg::TFavoritesDlg(TFavoritesHooks Hooks, QWidget* Parent) : QDialog(Parent), FHooks(std::move(Hooks))
{
    setObjectName("FavoritesDlg");
    setWindowTitle("Favorites");
    auto* Top = new QHBoxLayout(this);
    FavoritesGrid = new QTableWidget(0, 2, this);
    FavoritesGrid->setObjectName("FavoritesGrid");
    FavoritesGrid->setHorizontalHeaderLabels({"#", "Filename"});
    FavoritesGrid->verticalHeader()->hide();
    FavoritesGrid->setColumnWidth(0, 32);
    FavoritesGrid->setColumnWidth(1, 228);
    FavoritesGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FavoritesGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FavoritesGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab goes on to the buttons; arrows move between the cells.
    FavoritesGrid->setTabKeyNavigation(false);
    // Rows as high as the text needs, and room for the header and the least number
    // of rows the grid has, so the dialog opens showing all of them; a longer list
    // scrolls.
    FavoritesGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FavoritesGrid->verticalHeader()->setDefaultSectionSize(FavoritesGrid->fontMetrics().height() + 6);
    const int Frame = 2 * FavoritesGrid->frameWidth();
    const int ScrollBar = FavoritesGrid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FavoritesGrid);
    FavoritesGrid->setMinimumSize(32 + 228 + ScrollBar + Frame,
                                  FavoritesGrid->horizontalHeader()->sizeHint().height() +
                                      (FavoritesGridRows(0) - 1) * FavoritesGrid->verticalHeader()->defaultSectionSize() +
                                      Frame);
    Top->addWidget(FavoritesGrid, 1);

    auto* Column = new QVBoxLayout;
    auto Repeating = [&](const char* Name, const char* Text, const char* Hint) {
        auto* B = new TAutoButton(this);
        B->setObjectName(Name);
        B->setText(Text);
        B->setToolTip(Hint);
        B->SetDoRepeat(true);
        Column->addWidget(B);
        return B;
    };
    DeleteBtn = Repeating("DeleteBtn", "X", "Delete");
    MoveUpBtn = Repeating("MoveUpBtn", "Up", "Move Up");
    MoveDnBtn = Repeating("MoveDnBtn", "Down", "Move Down");
    OpenBtn = new QPushButton("Open", this);
    OpenBtn->setToolTip("Open");
    InsertBtn = new QPushButton("Insert", this);
    InsertBtn->setToolTip("Insert Current");
    CancelBtn = new QPushButton("Close", this);
    Column->addWidget(OpenBtn);
    Column->addWidget(InsertBtn);
    Column->addStretch();
    Column->addWidget(CancelBtn);
    for (QPushButton* B : {OpenBtn, InsertBtn, CancelBtn})
        B->setAutoDefault(false);
    Top->addLayout(Column);

    DeleteBtn->OnClick = [this](QObject*) { DeleteBtnClick(); };
    MoveUpBtn->OnClick = [this](QObject*) { MoveUpBtnClick(); };
    MoveDnBtn->OnClick = [this](QObject*) { MoveDnBtnClick(); };
    connect(OpenBtn, &QPushButton::clicked, this, [this] { FavoritesGridDblClick(); });
    connect(FavoritesGrid, &QTableWidget::cellDoubleClicked, this, [this] { FavoritesGridDblClick(); });
    connect(InsertBtn, &QPushButton::clicked, this, [this] { InsertBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    LoadFavorites();
}

void TFavoritesDlg::ShowFavoritesDlg()
{
    RefreshFavoritesGrid();
    exec();
}

void TFavoritesDlg::LoadFavorites()
{
    FavoritesList = FHooks.Load ? FHooks.Load() : std::vector<std::string>{};
    FBase = FavoritesList;
    RefreshFavoritesGrid();
}

void TFavoritesDlg::SaveFavorites()
{
    if (!FHooks.Save)
        return;
    // A name the settings file cannot hold leaves the list, so the rest is written whole.
    SayNotStored(LeaveOutUnstorable(FavoritesList), "the favourites", "the settings file");
    if (FHooks.MayWrite && !FHooks.MayWrite()) {
        RefreshFavoritesGrid();
        return;
    }
    try {
        // Another window may have changed the list since this one read it: this
        // window's changes are made on the list as the file holds it now.
        const std::vector<std::string> Now = FHooks.Load ? FHooks.Load() : FBase;
        std::vector<std::string> Merged = MergeListChanges(FBase, FavoritesList, Now);
        FHooks.Save(Merged);
        FBase = Merged;
        FavoritesList = std::move(Merged);
    } catch (const std::exception& E) {
        // The list in memory stays as changed; the user learns that the file did not.
        MessageDlg(E.what(), mtError, mbOK);
    }
    RefreshFavoritesGrid();
}

void TFavoritesDlg::RefreshFavoritesGrid()
{
    const int Count = static_cast<int>(FavoritesList.size());
    const int Row = FavoritesGrid->currentRow();
    FavoritesGrid->setRowCount(FavoritesGridRows(Count) - 1);
    for (int R = 0; R < FavoritesGrid->rowCount(); ++R) {
        auto* Number = new QTableWidgetItem(QString::number(R + 1));
        Number->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        Number->setBackground(palette().button());
        FavoritesGrid->setItem(R, 0, Number);
        auto* Name = new QTableWidgetItem;
        Name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (R < Count) {
            Name->setText(QFile::decodeName(QByteArray::fromStdString(FilePart(FavoritesList[R]))));
            // The full path as the hint over the entry.
            Name->setToolTip(QFile::decodeName(QByteArray::fromStdString(FavoritesList[R])));
        }
        FavoritesGrid->setItem(R, 1, Name);
    }
    if (Row >= 0 && Row < FavoritesGrid->rowCount())
        FavoritesGrid->setCurrentCell(Row, 1);
}

int TFavoritesDlg::Selected() const { return FavoritesGrid->currentRow(); }

void TFavoritesDlg::SelectEntry(int Index)
{
    if (Index >= 0 && Index < FavoritesGrid->rowCount())
        FavoritesGrid->setCurrentCell(Index, 1);
}

void TFavoritesDlg::AddFavorite(const std::string& FileName)
{
    FavoritesList.push_back(FileName);
    RefreshFavoritesGrid();
    SaveFavorites();
}

void TFavoritesDlg::FavoritesGridDblClick()
{
    const int I = Selected();
    if (I >= 0 && I < static_cast<int>(FavoritesList.size()) && FHooks.OpenTextFile) {
        // A copy: opening may run code that changes the list.
        const std::string Name = FavoritesList[I];
        FHooks.OpenTextFile(Name);
    }
    reject();
}

void TFavoritesDlg::MoveUpBtnClick()
{
    const int I = Selected();
    if (I < 1 || I >= static_cast<int>(FavoritesList.size()))
        return;
    std::swap(FavoritesList[I - 1], FavoritesList[I]);
    RefreshFavoritesGrid();
    SelectEntry(I - 1);
    SaveFavorites();
}

void TFavoritesDlg::MoveDnBtnClick()
{
    const int I = Selected();
    if (I < 0 || I >= static_cast<int>(FavoritesList.size()) - 1)
        return;
    std::swap(FavoritesList[I], FavoritesList[I + 1]);
    RefreshFavoritesGrid();
    SelectEntry(I + 1);
    SaveFavorites();
}

void TFavoritesDlg::DeleteBtnClick()
{
    const int I = Selected();
    if (I < 0 || I >= static_cast<int>(FavoritesList.size()))
        return;
    FavoritesList.erase(FavoritesList.begin() + I);
    RefreshFavoritesGrid();
    SaveFavorites();
}

void TFavoritesDlg::InsertBtnClick()
{
    const std::string Name = FHooks.CurrentFileName ? FHooks.CurrentFileName() : std::string();
    if (!Name.empty())
        AddFavorite(Name);
}

}  // namespace narvo
