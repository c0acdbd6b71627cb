#include "menus/MenuModel.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "core/FileErrors.h"
#include "platform/Messages.h"

// ---------------------------------------------------------------------------
// Names

TMenuElement MenuElementOf(QStringView localName) {
  if (localName == QLatin1String("ITEM")) return meItem;
  if (localName == QLatin1String("MAINMENU")) return meMainMenu;
  if (localName == QLatin1String("POPUPMENU")) return mePopupMenu;
  if (localName == QLatin1String("TOOLBAR")) return meToolBar;
  return meOther;
}

QString MenuSectionName(TMenuElement element) {
  switch (element) {
    case meMainMenu:
      return QStringLiteral("MAINMENU");
    case mePopupMenu:
      return QStringLiteral("POPUPMENU");
    case meToolBar:
      return QStringLiteral("TOOLBAR");
    default:
      return QString();
  }
}

TMenuElement MenuSectionOf(const QString& caption) {
  const TMenuElement e = MenuElementOf(caption);
  return e == meItem ? meOther : e;
}

const QString& MenuItemAttrName(int i) {
  static const QString names[MenuItemAttrCount] = {
      QStringLiteral("CAPTION"),    QStringLiteral("COMMAND"), QStringLiteral("ARGUMENT"), QStringLiteral("HINT"),
      QStringLiteral("SHOWHINT"),   QStringLiteral("BTNMENU"), QStringLiteral("IMAGEINDEX"),
      QStringLiteral("BREAK"),      QStringLiteral("SHORTCUT"), QStringLiteral("MTEXT"),
  };
  return names[i];
}

bool TMenuItemProps::operator==(const TMenuItemProps& o) const {
  return Caption == o.Caption && Command == o.Command && Argument == o.Argument && Hint == o.Hint &&
         ShowHint == o.ShowHint && BtnMenu == o.BtnMenu && ImageIndex == o.ImageIndex && Break == o.Break &&
         ShortCut == o.ShortCut && AsMText == o.AsMText;
}

// ---------------------------------------------------------------------------
// The ten-attribute rule

namespace {
enum { aCaption, aCommand, aArgument, aHint, aShowHint, aBtnMenu, aImageIndex, aBreak, aShortCut, aMText };

int intOr(QStringView s, int def) {
  bool ok = false;
  const int v = s.trimmed().toInt(&ok);
  return ok ? v : def;
}
}  // namespace

bool ReadMenuItemProps(const QXmlStreamAttributes& atts, TMenuReadRules rules, TMenuItemProps& props) {
  if (rules == mrLoader) {
    if (atts.size() != MenuItemAttrCount) return false;
    for (int i = 0; i < MenuItemAttrCount; ++i)
      if (!atts.hasAttribute(MenuItemAttrName(i))) return false;
  }
  // A missing attribute reads as empty text (only the editor gets here with one).
  auto text = [&](int i) { return atts.value(MenuItemAttrName(i)); };
  const int noIcon = rules == mrLoader ? -1 : 0;
  TMenuItemProps p;
  p.Caption = text(aCaption).toString();
  p.Command = MenuCommandFromInt(intOr(text(aCommand), 0));
  p.Argument = text(aArgument).toString();
  p.Hint = text(aHint).toString();
  p.ShowHint = intOr(text(aShowHint), 0) != 0;
  p.BtnMenu = text(aBtnMenu).toString();
  p.ImageIndex = intOr(text(aImageIndex), noIcon);
  p.Break = intOr(text(aBreak), 0) != 0;
  const int sc = intOr(text(aShortCut), 0);
  p.ShortCut = (sc >= 0 && sc <= 0xFFFF) ? quint16(sc) : 0;
  p.AsMText = intOr(text(aMText), 0) != 0;
  props = p;
  return true;
}

// ---------------------------------------------------------------------------
// Streaming

bool ParseMenuXml(QIODevice& device, TMenuXmlHandler& handler, QString* error) {
  QXmlStreamReader reader(&device);
  int depth = 0;
  while (!reader.atEnd()) {
    switch (reader.readNext()) {
      case QXmlStreamReader::StartElement:
        if (++depth > MaxMenuDepth) {
          reader.raiseError(QStringLiteral("вложенность элементов глубже %1 уровней").arg(MaxMenuDepth));
          break;
        }
        handler.startElement(MenuElementOf(reader.name()), reader.name(), reader.attributes());
        break;
      case QXmlStreamReader::EndElement:
        --depth;
        handler.endElement(MenuElementOf(reader.name()), reader.name());
        break;
      default:
        break;
    }
  }
  if (!reader.hasError()) return true;
  if (error) *error = platform::xmlErrorText(reader);
  return false;
}

bool ParseMenuXml(const QByteArray& data, TMenuXmlHandler& handler, QString* error) {
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  return ParseMenuXml(buffer, handler, error);
}

// ---------------------------------------------------------------------------
// Reading the tree

namespace {
// Nodes are found again by their path of child positions: appending to a
// vector may move the nodes held in it.
using TPath = std::vector<size_t>;

class TTreeBuilder : public TMenuXmlHandler {
 public:
  explicit TTreeBuilder(TMenuTree& tree) : FTree(tree) {}

  void startElement(TMenuElement element, QStringView, const QXmlStreamAttributes& atts) override {
    // The document element only holds the file together.
    if (FStack.empty()) {
      FStack.push_back(TPath());
      return;
    }
    const TPath& parent = FStack.back();
    switch (element) {
      case meMainMenu:
      case mePopupMenu:
      case meToolBar: {
        TMenuNode section;
        section.Props.Caption = MenuSectionName(element);
        FTree.push_back(section);
        FStack.push_back(TPath{FTree.size() - 1});
        break;
      }
      case meItem: {
        TMenuNode item;
        ReadMenuItemProps(atts, mrEditor, item.Props);
        TMenuTree& siblings = parent.empty() ? FTree : resolve(parent).Children;
        siblings.push_back(std::move(item));
        TPath path = parent;
        path.push_back(siblings.size() - 1);
        FStack.push_back(std::move(path));
        break;
      }
      case meOther:
        FStack.push_back(parent);
        break;
    }
  }

  void endElement(TMenuElement, QStringView) override {
    if (!FStack.empty()) FStack.pop_back();
  }

 private:
  TMenuNode& resolve(const TPath& path) {
    TMenuNode* node = &FTree[path[0]];
    for (size_t i = 1; i < path.size(); ++i) node = &node->Children[path[i]];
    return *node;
  }

  TMenuTree& FTree;
  std::vector<TPath> FStack;
};
}  // namespace

bool ReadMenuTree(const QByteArray& data, TMenuTree& tree, QString* error) {
  TMenuTree result;
  TTreeBuilder builder(result);
  if (!ParseMenuXml(data, builder, error)) return false;
  tree = std::move(result);
  return true;
}

TMenuTree ReadMenuTree(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw TMenuFileError(
        QStringLiteral("Не удалось открыть файл меню %1: %2")
            .arg(QDir::toNativeSeparators(fileName), FileErrorText(file))
            .toStdString());
  TMenuTree tree;
  QString error;
  if (!ReadMenuTree(file.readAll(), tree, &error))
    throw TMenuFileError(
        QStringLiteral("Ошибка в файле меню %1: %2").arg(QDir::toNativeSeparators(fileName), error).toStdString());
  return tree;
}

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
