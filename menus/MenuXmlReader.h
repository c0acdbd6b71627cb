#pragma once
// Reading the menu definition file: the elements streamed to a handler, an
// ITEM's attributes by the loader's or the editor's rules, the whole tree.
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QXmlStreamAttributes>

#include "menus/MenuTree.h"

class QIODevice;

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

// Streams the document through the handler.  On malformed XML (or nesting
// beyond MaxMenuDepth) returns false with the reason and its line in *error;
// what the handler received before the error stays received.
bool ParseMenuXml(QIODevice& device, TMenuXmlHandler& handler, QString* error);
bool ParseMenuXml(const QByteArray& data, TMenuXmlHandler& handler, QString* error);

// Reads with the editor's rules: a section element (at any depth) adds a
// root-level node, an ITEM a child of the node of its enclosing element, and
// other elements add nothing (what they hold belongs to their parent).
bool ReadMenuTree(const QByteArray& data, TMenuTree& tree, QString* error);
// Throws TMenuFileError naming the file.
TMenuTree ReadMenuTree(const QString& fileName);

// "Ошибка в файле меню <file>: строка L, позиция C: <what>".
QString MenuParseFailedMessage(const QString& fileName, const QString& error);
