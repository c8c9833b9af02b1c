// Favourites: a user-kept list of full file paths, in the user's order, duplicates
// allowed, stored in the settings file's section Favorites (Count, Item0..Itemn-1)
// and shown in the modal "Favorites" dialog, from which a favourite is opened in
// the main pane, moved, deleted, or the current document added. The list is read
// once when the dialog is made and written after every change.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QPushButton;
class QTableWidget;

namespace narvo {

class TAutoButton;
class TIniFile;

inline constexpr const char* FavoritesSection = "Favorites";

// The list as stored. Keys above the count may remain from a longer list; they
// are never read.
std::vector<std::string> ReadFavorites(const TIniFile& Ini);
void WriteFavorites(TIniFile& Ini, const std::vector<std::string>& List);

// The grid's row count for Count favourites: a header row and one row each, at
// least 10.
int FavoritesGridRows(int Count);

// What the dialog needs of the main window and the settings.
struct TFavoritesHooks {
    std::function<std::vector<std::string>()> Load;                 // the stored list
    std::function<void(const std::vector<std::string>& List)> Save;  // may throw
    // Whether the list may be written now (the user's Yes for a read-only file).
    std::function<bool()> MayWrite;
    std::function<bool(const std::string& FileName)> OpenTextFile;
    std::function<std::string()> CurrentFileName;
};

class TFavoritesDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFavoritesDlg(TFavoritesHooks Hooks, QWidget* Parent = nullptr);

    void ShowFavoritesDlg();
    // Appends FileName and saves the list.
    void AddFavorite(const std::string& FileName);
    void LoadFavorites();
    // Writes this window's changes, made on the list as the file holds it now (another
    // window may have written it), and shows that list. A name holding a line break
    // is left out of the list, and said.
    void SaveFavorites();
    void RefreshFavoritesGrid();

    // The selected entry (the grid's current row - 1); -1 when none.
    int Selected() const;
    void SelectEntry(int Index);

    void FavoritesGridDblClick();  // also the Open button
    void MoveUpBtnClick();
    void MoveDnBtnClick();
    void DeleteBtnClick();
    void InsertBtnClick();

    std::vector<std::string> FavoritesList;

    QTableWidget* FavoritesGrid = nullptr;
    TAutoButton *DeleteBtn = nullptr, *MoveUpBtn = nullptr, *MoveDnBtn = nullptr;
    QPushButton *OpenBtn = nullptr, *InsertBtn = nullptr, *CancelBtn = nullptr;

private:
    TFavoritesHooks FHooks;
    std::vector<std::string> FBase;  // the list as last read or written
};

}  // namespace narvo
