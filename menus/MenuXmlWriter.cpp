#include "menus/MenuXmlWriter.h"

#include <QDir>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include "core/FileErrors.h"

// ---------------------------------------------------------------------------
// Writing

namespace {
// XML 1.0 cannot carry control characters (other than tab and the line
// breaks) or unpaired surrogates, even as references; a caption typed with
// one would make a file nobody can read back.
QString xmlSafe(const QString& s) {
  QString out;
  out.reserve(s.size());
  for (int i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
      out += c;
      out += s[++i];
      continue;
    }
    const ushort u = c.unicode();
    if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF || (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D))
      continue;
    out += c;
  }
  return out;
}

void writeNode(QXmlStreamWriter& w, const TMenuNode& node) {
  const TMenuItemProps& p = node.Props;
  const TMenuElement section = MenuSectionOf(p.Caption);
  if (section != meOther) {
    w.writeStartElement(p.Caption);
  } else {
    w.writeStartElement(QStringLiteral("ITEM"));
    const QString bit[2] = {QStringLiteral("0"), QStringLiteral("1")};
    const QString values[MenuItemAttrCount] = {
        xmlSafe(p.Caption), QString::number(int(p.Command)), xmlSafe(p.Argument), xmlSafe(p.Hint),
        bit[p.ShowHint],    xmlSafe(p.BtnMenu),              QString::number(p.ImageIndex),
        bit[p.Break],       QString::number(p.ShortCut),     bit[p.AsMText],
    };
    for (int i = 0; i < MenuItemAttrCount; ++i) w.writeAttribute(MenuItemAttrName(i), values[i]);
  }
  for (const TMenuNode& child : node.Children) writeNode(w, child);
  w.writeEndElement();
}
}  // namespace

QByteArray WriteMenuTree(const TMenuTree& tree) {
  // The stream writer keeps attributes in the order written (a DOM document
  // does not), which the fixed order of the ten attributes needs.
  QByteArray data;
  QXmlStreamWriter w(&data);
  w.setAutoFormatting(true);
  w.setAutoFormattingIndent(2);
  w.writeStartDocument(QStringLiteral("1.0"));
  w.writeStartElement(QStringLiteral("ROOT"));
  for (const TMenuNode& node : tree) writeNode(w, node);
  w.writeEndElement();
  w.writeEndDocument();
  return data;
}

void SaveMenuTree(const TMenuTree& tree, const QString& fileName) {
  const QByteArray data = WriteMenuTree(tree);
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
    throw TMenuFileError((QStringLiteral("Ошибка при сохранении ") + QDir::toNativeSeparators(fileName) +
                          QStringLiteral(": ") + FileErrorText(file))
                             .toStdString());
}
