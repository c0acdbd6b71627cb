#include "menus/MenuXmlReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

#include "core/FileErrors.h"
#include "platform/Messages.h"

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
    throw TMenuFileError(MenuParseFailedMessage(fileName, error).toStdString());
  return tree;
}

QString MenuParseFailedMessage(const QString& fileName, const QString& error) {
  return QStringLiteral("Ошибка в файле меню %1: %2").arg(QDir::toNativeSeparators(fileName), error);
}
