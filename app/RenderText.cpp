#include "app/RenderText.h"

#include "mtext/zorAcMtextRender.h"

QString EditorTextToMText(const QStringList& lines, const QString&) {
  // Every editor line is one paragraph, whatever breaks the file had (LF, CR,
  // U+2028); the file keeps its own breaks when written.
  const QString lineBreak = QStringLiteral("\r\n");
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

namespace {

QPoint render(TCanvas& canvas, const QString& mtext, const TRenderProps& props) {
  canvas.resetTruncated();
  canvas.setSize(16, 16);
  canvas.setFont(props.rpFont.fpName, props.rpFont.fpSize, props.rpFont.fpStyle, props.rpFont.fpColor);
  canvas.setPenColor(props.rpFont.fpColor);
  canvas.setBrushColor(props.rpBackColor);
  canvas.fill();
  canvas.moveTo(0, 0);
  QPoint size;
  RenderMText(canvas, mtext, size,
              [&canvas](int v, TResizeType t) { return GrowCanvas(canvas, v, t); });
  // Keep the truncation flag of the render: the final trim is always within the caps.
  const bool cut = canvas.truncated();
  canvas.setSize(size.x() + 1, size.y() + 1);
  if (!cut) canvas.resetTruncated();
  return size;
}

}  // namespace

QPoint RenderPreview(TCanvas& canvas, const QString& mtext, const TRenderProps& props) {
  canvas.clearWindow();
  return render(canvas, mtext, props);
}

QPoint RenderPreviewBand(TCanvas& canvas, const QString& mtext, const TRenderProps& props, const QRect& band) {
  canvas.setWindow(band);
  return render(canvas, mtext, props);
}
