// Wiring of the small tools into the main window (see SmallTools.h).
#include "app/SmallTools.h"

#include "app/Documents.h"
#include "app/MainWindow.h"
#include "app/Settings.h"
#include "components/AutoButton.h"
#include "editor/ScrollEditor.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/IniFile.h"
#include "platform/posix/SettingsFolder.h"
#include "tools/AboutBox.h"
#include "tools/CharacterChart.h"
#include "tools/EncloseText.h"
#include "tools/Favorites.h"
#include "tools/FileTool.h"

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QPointer>

namespace narvo {

namespace {

QPointer<TAboutBox> GAboutBox;
QPointer<TEncloseDlg> GEncloseDlg;
QPointer<TFavoritesDlg> GFavoritesDlg;
QPointer<TFileToolDlg> GFileToolDlg;

TScrollEditor* ActivePaneOrNull()
{
    if (!Form1)
        return nullptr;
    return Form1->ActiveEditor ? Form1->ActiveEditor : Form1->MainEditor;
}

void SetEncloseGlyph(const QPixmap& Glyph)
{
    if (!Form1 || !Form1->EncloseBtn)
        return;
    Form1->EncloseBtn->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Form1->EncloseBtn->setIcon(Glyph);
    Form1->EncloseBtn->setIconSize(Glyph.size());
    Form1->EncloseBtn->setFixedWidth(Glyph.width() + 8);
}

void CreateSmallTools()
{
    GAboutBox = new TAboutBox([] {
        if (Form1)
            Form1->ShowDebugMenu();
    }, Form1);
    CreateAsciiDlg(
        [](char Ch) {
            if (TScrollEditor* P = ActivePaneOrNull()) {
                P->TypeKey(Ch);
                UpdateStatus();
            }
        },
        Form1);
    TFavoritesHooks Fav;
    Fav.Load = [] { return ReadFavorites(TIniFile(SettingsIniName)); };
    Fav.Save = [](const std::vector<std::string>& List) {
        TIniFile Ini(SettingsIniName);
        WriteFavorites(Ini, List);
    };
    Fav.MayWrite = [] { return AgreeToReplaceReadOnly(SettingsFilePath(SettingsIniName)); };
    Fav.OpenTextFile = [](const std::string& Name) { return narvo::OpenTextFile(Name); };
    Fav.CurrentFileName = [] { return CurrentFileName; };
    GFavoritesDlg = new TFavoritesDlg(std::move(Fav), Form1);
    TEncloseHooks Enc;
    Enc.ActivePane = []() -> TEditorEngine* { return ActivePaneOrNull(); };
    Enc.SetEncloseGlyph = SetEncloseGlyph;
    GEncloseDlg = new TEncloseDlg(std::move(Enc), Form1);
    GFileToolDlg = new TFileToolDlg(Form1);
}

}  // namespace

TAboutBox* AboutBox() { return GAboutBox; }
TEncloseDlg* EncloseDlg() { return GEncloseDlg; }
TFavoritesDlg* FavoritesDlg() { return GFavoritesDlg; }
TFileToolDlg* FileToolDlg() { return GFileToolDlg; }

void NextBoxDrawingStyle()
{
    BoxStyle = NextBoxStyleOf(BoxStyle);
    UpdateStatus();
}

bool TypeBoxDrawingChar(TEditorEngine& Pane, char Key)
{
    char Ch = 0;
    if (BoxStyle == 0 || !BoxDrawChar(BoxStyle, Key, Ch))
        return false;
    Pane.TypeChar(Ch);
    return true;
}

void CreateSmallToolForms() { CreateSmallTools(); }

std::string BoxCharText() { return std::string(1, BoxStyleCross(BoxStyle)); }

}  // namespace narvo
