#pragma once
// The menu definition file as data.  One reading layer serves both readers of
// the file: the menu loader (which builds widgets as the elements stream by)
// and the menu editor (which wants the whole tree).  Their rules for an ITEM
// differ on purpose:
//   loader: an ITEM needs exactly the ten attributes, or it creates nothing;
//           a non-numeric IMAGEINDEX is -1 (no icon);
//   editor: a missing attribute reads as empty text, and an empty or
//           non-numeric number is 0 (so IMAGEINDEX gives icon 0).
// The writer puts every ITEM's ten attributes in one fixed order, so whatever
// the editor saves the loader accepts.
#include "menus/MenuTree.h"
#include "menus/MenuXmlReader.h"
#include "menus/MenuXmlWriter.h"
