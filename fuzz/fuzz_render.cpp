// The MText renderer on any text, drawn the way the preview draws it: a small
// canvas that grows on the renderer's requests.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include "core/Colors.h"
#include "fuzz/FuzzCommon.h"
#include "mtext/MTextLexicon.h"
#include "mtext/zorAcCanvas.h"
#include "mtext/zorAcMtextRender.h"

namespace {
// The canvas keeps its own caps (256 MiB); a surface that large on every run
// would only slow the search down.  Beyond this the canvas stops growing, as
// it does at its caps, and drawing off the surface is dropped.
constexpr int FuzzMaxSide = 2048;

// Renders from a fresh 16 x 16 surface, prepared as the preview prepares it.
QPoint renderOn(TCanvas& canvas, const QString& text) {
  canvas.setSize(16, 16);
  canvas.resetTruncated();
  canvas.setFont(QStringLiteral("Liberation Sans"), 12, 0, RGBColor(0, 0, 0));
  canvas.setPenColor(RGBColor(0, 0, 0));
  canvas.setBrushColor(RGBColor(255, 255, 255));
  canvas.fill();
  canvas.moveTo(0, 0);
  QPoint drawn;
  RenderMText(canvas, text, drawn, [&canvas](int value, TResizeType type) {
    if (value > FuzzMaxSide) return false;
    return GrowCanvas(canvas, value, type);
  });
  return drawn;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startApplication();
  SetScreenDpiY(96);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  // One canvas for the whole run, as the preview keeps one: its font cache
  // stays warm.
  static TCanvas canvas;
  const QPoint drawn = renderOn(canvas, text);
  FUZZ_CHECK(drawn.x() >= 0 && drawn.y() >= 0);
  FUZZ_CHECK(!canvas.image().isNull());

  // The same text with only a band kept, as the preview pane draws it: the
  // same size, and in the band the same pixels as the whole surface.
  static TCanvas banded;
  const QRect band(drawn.x() / 3, drawn.y() / 2, 97, 61);
  banded.setWindow(band);
  FUZZ_CHECK(renderOn(banded, text) == drawn);

  // Where each code ends: the renderer reads a format code exactly as far as
  // the lexicon says (as far as the highlighter colours it, fuzz_tokenizer):
  // put in a group before "ab", it leaves nothing drawn and nothing changed.
  static TCanvas probe;
  const int plain = renderOn(probe, QStringLiteral("ab")).x();
  TMTextLexer lexer(text);
  int checked = 0;
  for (qsizetype pos = 0; pos < text.size() && checked < 8;) {
    const TMTextToken t = lexer.scan(pos);
    pos = t.end();
    if (t.kind != lkCode || t.info->effect != efFormat || t.code == u'p') continue;
    // Only codes that end by themselves: what follows them here is "}ab".
    const QChar last = text.at(t.end() - 1);
    if (!(t.info->arg == afNone || last == u';' || (t.info->arg == afHeight && last == u'x') ||
          (t.info->arg == afNumber && !t.valueOk)))
      continue;
    ++checked;
    FUZZ_CHECK(renderOn(probe, QLatin1Char('{') + text.mid(t.start, t.length) + QStringLiteral("}ab")).x() == plain);
  }
  if (canvas.truncated()) return 0;
  FUZZ_CHECK(banded.width() == canvas.width() && banded.height() == canvas.height());
  const QImage& whole = canvas.image();
  const QImage& kept = banded.image();
  const QRect shared = band & whole.rect();
  for (int y = shared.top(); y <= shared.bottom(); ++y)
    for (int x = shared.left(); x <= shared.right(); ++x)
      FUZZ_CHECK(kept.pixel(x - band.x(), y - band.y()) == whole.pixel(x, y));
  return 0;
}
