#pragma once

class QAbstractItemView;
class QMenu;

namespace orv {

// Opens a view's pop-up menu from the keyboard as well: the Menu key,
// Shift+F10 and keyboard context-menu events show it at the current item (or
// at the top of the view when there is none). The mouse is left to the view's
// own context-menu handling.
void openMenuFromKeyboard(QAbstractItemView *view, QMenu *menu);

} // namespace orv
