// The menu definition reader on any bytes, with both rule sets, and the
// writer on whatever tree the reader makes of them:
// - an ITEM the loader's rules accept reads the same by the editor's rules
//   (except a non-numeric IMAGEINDEX: no icon for one, icon 0 for the other);
// - every ITEM the writer writes is accepted by the loader's rules as it was;
// - a written tree reads back as the same tree once written again.
#include "fuzz/FuzzCommon.h"
#include "menus/MenuModel.h"

namespace {
bool numeric(QStringView s) {
  bool ok = false;
  (void)s.trimmed().toInt(&ok);
  return ok;
}

// Reads every ITEM with both rule sets and checks they agree.
class TBothRules : public TMenuXmlHandler {
 public:
  int FAccepted = 0;
  int FItems = 0;
  void startElement(TMenuElement element, QStringView, const QXmlStreamAttributes& atts) override {
    if (element != meItem) return;
    ++FItems;
    TMenuItemProps loader, editor;
    fuzz::check(ReadMenuItemProps(atts, mrEditor, editor));
    if (!ReadMenuItemProps(atts, mrLoader, loader)) return;
    ++FAccepted;
    if (!numeric(atts.value(QStringLiteral("IMAGEINDEX")))) {
      fuzz::check(loader.ImageIndex == -1 && editor.ImageIndex == 0);
      loader.ImageIndex = 0;
    }
    fuzz::check(loader == editor);
  }
  void endElement(TMenuElement, QStringView) override {}
};

bool hasItemCaptionedLikeASection(const TMenuTree& tree, bool root) {
  for (const TMenuNode& n : tree) {
    if (!root && MenuSectionOf(n.Props.Caption) != meOther) return true;
    if (root && MenuSectionOf(n.Props.Caption) != meOther && n.Props != TMenuItemProps{n.Props.Caption}) return true;
    if (hasItemCaptionedLikeASection(n.Children, false)) return true;
  }
  return false;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  TBothRules both;
  ParseMenuXml(bytes, both, nullptr);

  TMenuTree first;
  if (!ReadMenuTree(bytes, first, nullptr)) return 0;

  const QByteArray written = WriteMenuTree(first);
  TBothRules writtenItems;
  fuzz::check(ParseMenuXml(written, writtenItems, nullptr));
  fuzz::check(writtenItems.FAccepted == writtenItems.FItems);

  TMenuTree second;
  fuzz::check(ReadMenuTree(written, second, nullptr));
  // A node captioned like a section is written as that section, so only such
  // trees change shape on the first round; after it every round is exact.
  if (!hasItemCaptionedLikeASection(first, true)) fuzz::check(second == first);
  TMenuTree third;
  fuzz::check(ReadMenuTree(WriteMenuTree(second), third, nullptr));
  fuzz::check(third == second);
  return 0;
}
