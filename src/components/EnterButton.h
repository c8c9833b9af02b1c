// Enter in a one-line field that has a button of its own (a word typed to replace
// with, a word typed to remove) presses that button, not the dialog's default: the
// user typed the text for that button's action.
#pragma once

class QLineEdit;
class QPushButton;

namespace narvo {

// From now on Enter in Edit clicks Button (when enabled) and goes no further.
void PressOnEnter(QLineEdit* Edit, QPushButton* Button);

}  // namespace narvo
