// Menus filled while the program runs (the user tools, the recent files) start
// empty. The toolkit sizes the popup of an empty menu 0 x 0 and marks its window as
// out of the window system's range; when that window is made again on a later
// showing, nothing clears the mark and the menu is never mapped, however many items
// it holds by then: clicking it once while empty killed it until a restart. A menu
// given here is enabled exactly while it holds a visible item, so an empty one is
// never popped up (its title shows greyed) and one with items always can be.
#pragma once

class QMenu;

namespace narvo {

// Keeps Menu's own entry (its title in the menu bar or in the parent menu) enabled
// exactly while Menu holds a visible item, now and after every change of its items.
void DisableMenuWhileEmpty(QMenu* Menu);

}  // namespace narvo
