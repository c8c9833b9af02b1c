// The split and secondary panes: beside the main pane the window shows at most one
// extra pane, Editor2 (a split view of the main text: it shares the main pane's
// lines, cursor, highlight, undo rings and searcher) or Editor3 (a file of its own,
// with its own undo), under the main pane or to its right, past the divider. The
// orientation lives in the divider and changes only while a pane is shown, so a
// pane shown later takes the place of the one shown before.
//
// A pane that is hidden stops being the active pane: the main pane becomes active
// and, when the hidden pane had the keyboard focus, takes it, so that commands and
// tools never act on a pane the user cannot see.
#pragma once

#include <string>

namespace narvo {

class TForm1;

// 0 no extra pane, 1 Editor2 (split view), 2 Editor3 (secondary file).
int SplitMode(const TForm1& Form);

// The window's LayoutSplitEditors (Mode in the given orientation), then a hidden
// pane stops being the active one and the menu check marks follow.
void SetSplitMode(TForm1& Form, int Mode, bool Horizontal);
// Lays the extra pane now shown out again in the given orientation.
void SetSplitOrientation(TForm1& Form, bool Horizontal);
// Toggle2ndEditBtn: Editor3 shown -> none; Editor2 shown -> Editor3; else Editor2.
// The orientation is kept; the main pane gets the focus.
void CycleSplitEditor(TForm1& Form);
// Show Split Editor / Show Secondary Editor: hides the pane when it is shown, else
// shows it (in the current orientation).
void ShowSplitEditorMnuClick(TForm1& Form);
void ShowSecondaryEditorMnuClick(TForm1& Form);
// ToggleTopRightBtn ("Toggle Second Editor Position"): the other orientation.
void ToggleTopRightBtnClick(TForm1& Form);

// The secondary file is the user's text as much as the document: a modified one is
// never dropped without a question. "Save Changes?" naming its file when Editor3's
// text is modified; Yes saves it to its own file by the documents' safe save (asking
// a name when it has none), No goes on. False when the user cancelled or the save
// failed.
bool OfferToSaveSecondary(TForm1& Form);
// Save while the secondary pane is active ("Mod" and the Save button show its flag):
// its modified text to its own file, asking a name when it has none. True when
// nothing needed saving or the save succeeded.
bool SaveSecondaryIfModified(TForm1& Form);
// Open Secondary File with a chosen name: the modified text there is offered for
// saving first; a file that cannot be read changes nothing (the reason is shown).
// True when the file is shown in Editor3.
bool OpenSecondaryFile(TForm1& Form, const std::string& Name);

}  // namespace narvo
