// The MText renderer on any text, drawn the way the preview draws it: a small
// canvas that grows on the renderer's requests.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include "core/Colors.h"
#include "fuzz/FuzzCommon.h"
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
