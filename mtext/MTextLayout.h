#pragma once
// The preview's layout kept from one render to the next: per line, the format
// state at its start and what was measured in it.  After an edit the lines are
// measured again from the first changed one until a line starts in the state
// it had before (the rest moves as a whole); only the lines reaching the
// canvas's band are drawn.  The band's pixels and the drawn size are those of
// RenderMText on the same canvas.
#include <QPoint>
#include <QString>

#include <memory>
#include <vector>

#include "mtext/zorAcMtextRender.h"

namespace mtextrender {
struct TLineRecord;
}

class TMTextLayout {
 public:
  TMTextLayout();
  ~TMTextLayout();
  TMTextLayout(const TMTextLayout&) = delete;
  TMTextLayout& operator=(const TMTextLayout&) = delete;

  // RenderMText on a canvas prepared the same way.  A canvas without a band
  // (TCanvas::setWindow), or a text whose extents come near the canvas bound,
  // is drawn by RenderMText itself.  The callback is asked only for sizes the
  // canvas does not have yet.
  void render(TCanvas& canvas, const QString& text, QPoint& size, const TAdjustSizeEvent& callback);
  void clear();
  // Lines the last render measured, and lines it keeps.
  int measuredLines() const { return FMeasured; }
  int lineCount() const;

 private:
  bool draw(TCanvas& canvas, void* context, QPoint pen, QPoint& size, const TAdjustSizeEvent& callback);

  QString FText;
  QPoint FPen;
  int FDpi = 0;
  std::vector<mtextrender::TLineRecord> FLines;
  int FMeasured = 0;
};
