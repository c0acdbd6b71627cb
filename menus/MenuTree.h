#pragma once
// The menu definition file as data: its elements, the ten properties of an
// ITEM, and the tree of sections and items the editor shows.
#include <QString>
#include <QStringView>
#include <stdexcept>
#include <vector>

#include "menus/MenuCommands.h"

// The elements that mean something; every other name is meOther.
enum TMenuElement { meOther, meMainMenu, mePopupMenu, meToolBar, meItem };
TMenuElement MenuElementOf(QStringView localName);
// "MAINMENU", "POPUPMENU", "TOOLBAR" (empty for the others).
QString MenuSectionName(TMenuElement element);
// meMainMenu, mePopupMenu, meToolBar for those three captions, else meOther.
TMenuElement MenuSectionOf(const QString& caption);

// The ten attribute names in the order files are written.
constexpr int MenuItemAttrCount = 10;
const QString& MenuItemAttrName(int i);

// The ten properties of an ITEM.
struct TMenuItemProps {
  QString Caption;
  TMenuCommand Command = cmdNone;
  QString Argument;
  QString Hint;
  bool ShowHint = false;
  QString BtnMenu;
  int ImageIndex = -1;
  bool Break = false;
  quint16 ShortCut = 0;
  bool AsMText = false;

  bool operator==(const TMenuItemProps& o) const;
  bool operator!=(const TMenuItemProps& o) const { return !(*this == o); }
};

// Deeper nesting than this is refused: no menu needs it, and it would take
// the tree, the writer and the toolkit's menus deep into recursion.
constexpr int MaxMenuDepth = 200;

// ---------------------------------------------------------------------------
// The tree the editor shows: the root-level nodes are the sections (their
// caption is the section's name, their other properties mean nothing), every
// node below them an item.

struct TMenuNode {
  TMenuItemProps Props;
  std::vector<TMenuNode> Children;

  bool operator==(const TMenuNode& o) const { return Props == o.Props && Children == o.Children; }
  bool operator!=(const TMenuNode& o) const { return !(*this == o); }
};
using TMenuTree = std::vector<TMenuNode>;

// The file cannot be read, is not XML, or cannot be written.  what() is the
// Russian message for the user (UTF-8).
class TMenuFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
