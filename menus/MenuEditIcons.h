#pragma once
// The pictures of the menu editor: its element toolbar and the three sections.
#include <QPixmap>

enum TIconKind { ikNone, ikAddChild, ikInsert, ikDelete, ikMoveUp, ikMoveDown, ikMainMenu, ikPopupMenu, ikToolBar };

// A 16 x 16 picture on a transparent ground (ikNone: nothing on it).
QPixmap DrawMenuEditIcon(TIconKind kind);
