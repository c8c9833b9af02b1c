// The small tools' place in the running program: the about box, the character chart
// and the box-drawing keys, the favourites, Enclose Text and Copy/Merge Files. Their
// dialogs are made with the main window; the menus and the tool bar reach them
// through the accessors below.
#pragma once

#include "tools/CharacterChart.h"

#include <string>

namespace narvo {

class TAboutBox;
class TEditorEngine;
class TEncloseDlg;
class TFavoritesDlg;
class TFileToolDlg;

// Shift+^D: the next box-drawing style (off, then styles 1 to 4, then off again).
void NextBoxDrawingStyle();
// Types the line character of the current style for a keypad key; false (nothing
// typed) with the style off or for a key that draws nothing.
bool TypeBoxDrawingChar(TEditorEngine& Pane, char Key);

// The dialogs, made with the start-up forms.
void CreateSmallToolForms();
// The status field of the box-drawing style: its cross, a blank with the style off.
std::string BoxCharText();

// The run's dialogs once made (nullptr before).
TAboutBox* AboutBox();
TEncloseDlg* EncloseDlg();
TFavoritesDlg* FavoritesDlg();
TFileToolDlg* FileToolDlg();

}  // namespace narvo
