// The kept layout of the preview against a whole render: a text, then edits
// as typing makes them, each drawn through the layout that saw the text
// before and drawn whole from scratch, into the same band.  The band's pixels
// and the size must be the same.
//   input: the text, a zero byte, then edits of four bytes each: position
//   (two bytes), characters removed, fragment inserted; after each edit the
//   band moves by the fourth byte too.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include "core/Colors.h"
#include "fuzz/FuzzCommon.h"
#include "mtext/MTextLayout.h"
#include "mtext/zorAcCanvas.h"
#include "mtext/zorAcMtextRender.h"

namespace {

constexpr int FuzzMaxSide = 2048;
constexpr int MaxEdits = 24;

// What typing MText puts in: codes that carry a state into the next lines,
// line breaks, braces, and plain letters.
const char* const kFragments[] = {
    "a",     " ",      "\\P",       "{",      "}",         "\\H2x;",  "\\H0.5;", "\\C1;",   "\\S1/2;",
    "\\pxqc;", "\\pi2,l1;", "\\pxqr;", "\\A1;",  "\\A2;",     "%%c",     "\\L",     "\\l",     "\\fArial|b1;",
    "\\T2;", "\\W2;",  "\\Q15;",    "\t",     "\\O",       "\\K",     "Ж",       "\\X",     "\\N",
    ";",     "x",      "\\H",       "\\C",    "%%",        "\\",      "\\H3;",   "\\S3#4;", "f",
};

// The layout's canvas is not filled: the layout keeps the picture it drew and
// fills only what it draws again.
void prepare(TCanvas& canvas, const QRect& band, bool filled) {
  canvas.setWindow(band);
  canvas.setSize(16, 16);
  canvas.resetTruncated();
  canvas.setFont(QStringLiteral("Liberation Sans"), 12, 0, RGBColor(0, 0, 0));
  canvas.setPenColor(RGBColor(0, 0, 0));
  canvas.setBrushColor(RGBColor(255, 255, 255));
  if (filled) canvas.fill();
  canvas.moveTo(0, 0);
}

TAdjustSizeEvent grower(TCanvas& canvas) {
  return [&canvas](int value, TResizeType type) {
    if (value > FuzzMaxSide) return false;
    return GrowCanvas(canvas, value, type);
  };
}

void compare(const QString& text, const QRect& band, TMTextLayout& layout) {
  static TCanvas kept, whole;
  prepare(kept, band, false);
  QPoint keptSize;
  layout.render(kept, text, keptSize, grower(kept));
  prepare(whole, band, true);
  QPoint wholeSize;
  RenderMText(whole, text, wholeSize, grower(whole));
  FUZZ_CHECK(keptSize == wholeSize);
  FUZZ_CHECK(kept.width() == whole.width() && kept.height() == whole.height());
  const QImage& a = kept.image();
  const QImage& b = whole.image();
  FUZZ_CHECK(a.size() == b.size());
  FUZZ_CHECK(a == b);  // every pixel
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startApplication();
  SetScreenDpiY(96);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t split = 0;
  while (split < size && data[split] != 0) ++split;
  QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(qMin<size_t>(split, 4096)));
  TMTextLayout layout;
  QRect band(0, 0, 160, 96);
  compare(text, band, layout);
  int edits = 0;
  for (size_t i = split + 1; i + 4 <= size && edits < MaxEdits; i += 4, ++edits) {
    const qsizetype at = qsizetype((data[i] << 8) | data[i + 1]) % (text.size() + 1);
    text.remove(at, data[i + 2] % 8);
    text.insert(at, QString::fromUtf8(kFragments[data[i + 3] % (sizeof(kFragments) / sizeof(kFragments[0]))]));
    // The band follows the edit now and then, as the pane scrolls.
    if (data[i + 3] & 0x80) band.moveTop((data[i + 3] & 0x7F) * 7);
    if (data[i + 2] & 0x80) band.moveLeft(((data[i + 2] >> 3) & 0xF) * 9);
    compare(text, band, layout);
  }
  return 0;
}
