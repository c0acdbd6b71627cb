#include "RenderText.h"

#include "mtext/zorAcMtextRender.h"

QString EditorTextToMText(const QStringList& lines, const QString& lineBreak) {
  QString s;
  qsizetype total = 0;
  for (const QString& l : lines) total += l.size() + lineBreak.size();
  s.reserve(total + 2);
  for (const QString& l : lines) {
    s += l;
    s += lineBreak;
  }
  qsizetype end = s.size();
  while (end > 0 && s.at(end - 1).unicode() <= 32) --end;
  s.truncate(end);
  s += QStringLiteral("\r\n");
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\\P"));
  return s;
}

bool GrowCanvas(TCanvas& canvas, int AValue, bool width) {
  if (width) {
    // Decoration lines end on the column of the right edge itself, so an
    // edge equal to the width already needs one more column.
    if (AValue >= canvas.width()) {
      const int before = canvas.width();
      canvas.setSize(canvas.width() + AValue + 1, canvas.height());
      return canvas.width() != before;
    }
  } else if (AValue > canvas.height()) {
    const int before = canvas.height();
    canvas.setSize(canvas.width(), canvas.height() + AValue + 1);
    return canvas.height() != before;
  }
  return false;
}

QPoint RenderPreview(TCanvas& canvas, const QString& mtext, const TRenderProps& props) {
  canvas.resetTruncated();
  canvas.setSize(16, 16);
  canvas.setFont(props.rpFont.fpName, props.rpFont.fpSize, props.rpFont.fpStyle, props.rpFont.fpColor);
  canvas.setPenColor(props.rpFont.fpColor);
  canvas.setBrushColor(props.rpBackColor);
  canvas.fill();
  canvas.moveTo(0, 0);
  QPoint size;
  RenderMText(canvas, mtext, size,
              [&canvas](int v, TResizeType t) { return GrowCanvas(canvas, v, t == rtWidth); });
  // Keep the truncation flag of the render: the final trim is always within the caps.
  const bool cut = canvas.truncated();
  canvas.setSize(size.x() + 1, size.y() + 1);
  if (!cut) canvas.resetTruncated();
  return size;
}
