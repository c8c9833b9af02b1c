// The small tools' place in the running program: the about box, the character chart
// and the box-drawing keys, the favourites, Enclose Text and Copy/Merge Files. Their
// dialogs are made with the main window and reach it only through the hooks filled
// here.
#pragma once

namespace narvo {

class TAboutBox;
class TAsciiDlg;
class TEncloseDlg;
class TFavoritesDlg;
class TFileToolDlg;

// Fills the menu hooks, the chart and box-drawing hooks of the key routing and the
// command language, and adds the dialogs' creation to the start-up hooks. Call
// once, before the main window exists.
void InstallSmallToolsHooks();

// The run's dialogs once made (nullptr before).
TAboutBox* AboutBox();
TAsciiDlg* AsciiDlg();
TEncloseDlg* EncloseDlg();
TFavoritesDlg* FavoritesDlg();
TFileToolDlg* FileToolDlg();

}  // namespace narvo
