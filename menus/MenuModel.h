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
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QXmlStreamAttributes>
#include <stdexcept>
#include <vector>

#include "menus/MenuCommands.h"

class QIODevice;

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

enum TMenuReadRules { mrLoader, mrEditor };

// Reads an ITEM's attributes by the given rules.  False (props untouched) when
// the loader's rules refuse the item.
bool ReadMenuItemProps(const QXmlStreamAttributes& atts, TMenuReadRules rules, TMenuItemProps& props);

// Receives the elements of a file in document order.
class TMenuXmlHandler {
 public:
  virtual ~TMenuXmlHandler() = default;
  virtual void startElement(TMenuElement element, QStringView localName, const QXmlStreamAttributes& atts) = 0;
  virtual void endElement(TMenuElement element, QStringView localName) = 0;
};

// Deeper nesting than this is refused: no menu needs it, and it would take
// the tree, the writer and the toolkit's menus deep into recursion.
constexpr int MaxMenuDepth = 200;

// Streams the document through the handler.  On malformed XML (or nesting
// beyond MaxMenuDepth) returns false with the reason and its line in *error;
// what the handler received before the error stays received.
bool ParseMenuXml(QIODevice& device, TMenuXmlHandler& handler, QString* error);
bool ParseMenuXml(const QByteArray& data, TMenuXmlHandler& handler, QString* error);

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

// Reads with the editor's rules: a section element (at any depth) adds a
// root-level node, an ITEM a child of the node of its enclosing element, and
// other elements add nothing (what they hold belongs to their parent).
bool ReadMenuTree(const QByteArray& data, TMenuTree& tree, QString* error);
// Throws TMenuFileError naming the file.
TMenuTree ReadMenuTree(const QString& fileName);

// The document: XML declaration, element ROOT, two spaces per level; a node
// captioned like a section is written as that section's element, any other
// as an ITEM with its ten attributes.
QByteArray WriteMenuTree(const TMenuTree& tree);
// Writes through a temporary file that replaces the old one only when the
// whole document was written; throws TMenuFileError
// "Ошибка при сохранении <path>" otherwise (the old file stays as it was).
void SaveMenuTree(const TMenuTree& tree, const QString& fileName);
