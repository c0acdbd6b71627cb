#include "app/RenderText.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QVarLengthArray>

#include "mtext/MTextLayout.h"
#include "mtext/zorAcMtextRender.h"

namespace {

// Builds the MText into out in one pass: the lines joined by CR LF, the
// trailing blanks and control characters of the whole cut, CR LF appended and
// each CR LF pair turned into \P.  Blanks and controls are held back until a
// printable character follows them, so the cut needs no second pass.
class TMTextBuilder {
 public:
  explicit TMTextBuilder(QString& out) : FOut(out) { FOut.resize(0); }
  void reserve(qsizetype n) {
    if (FOut.capacity() < n) FOut.reserve(n);
  }
  void line(QStringView l) {
    if (FFirst)
      FFirst = false;
    else
      held(u'\r'), held(u'\n');
    const char16_t* p = reinterpret_cast<const char16_t*>(l.data());
    const char16_t* end = p + l.size();
    while (p < end) {
      // The run of printable characters goes in as one piece.
      const char16_t* run = p;
      while (run < end && *run > 32) ++run;
      if (run != p) {
        flush();
        FOut.append(QStringView(p, run - p));
        p = run;
      }
      for (; p < end && *p <= 32; ++p) held(*p);
    }
  }
  void finish() {
    FHeld.clear();
    FOut.append(QLatin1String("\\P"));
  }

 private:
  void held(char16_t c) { FHeld.push_back(c); }
  void flush() {
    for (const char16_t c : FHeld) {
      if (c == u'\n' && !FOut.isEmpty() && FOut.back() == u'\r') {
        FOut.back() = u'\\';
        FOut.append(u'P');
      } else {
        FOut.append(QChar(c));
      }
    }
    FHeld.clear();
  }
  QString& FOut;
  QVarLengthArray<char16_t, 32> FHeld;
  bool FFirst = true;
};

}  // namespace

// Every editor line is one paragraph, whatever breaks the file had (LF, CR,
// U+2028); the file keeps its own breaks when written.
QString EditorTextToMText(const QStringList& lines, const QString&) {
  QString s;
  TMTextBuilder b(s);
  qsizetype total = 0;
  for (const QString& l : lines) total += l.size() + 2;
  b.reserve(total + 2);
  for (const QString& l : lines) b.line(l);
  b.finish();
  return s;
}

void EditorTextToMText(const QTextDocument& document, QString& out) {
  TMTextBuilder b(out);
  b.reserve(document.characterCount() + document.blockCount() + 2);
  for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) b.line(block.text());
  b.finish();
}

namespace {

QPoint render(TCanvas& canvas, const QString& mtext, const TRenderProps& props, TMTextLayout* layout) {
  canvas.resetTruncated();
  canvas.setSize(16, 16);
  canvas.setFont(props.rpFont.fpName, props.rpFont.fpSize, props.rpFont.fpStyle, props.rpFont.fpColor);
  canvas.setPenColor(props.rpFont.fpColor);
  canvas.setBrushColor(props.rpBackColor);
  if (!layout) canvas.fill();  // the layout fills what it draws again
  canvas.moveTo(0, 0);
  QPoint size;
  const TAdjustSizeEvent grow = [&canvas](int v, TResizeType t) { return GrowCanvas(canvas, v, t); };
  if (layout)
    layout->render(canvas, mtext, size, grow);
  else
    RenderMText(canvas, mtext, size, grow);
  // Keep the truncation flag of the render: the final trim is always within the caps.
  const bool cut = canvas.truncated();
  canvas.setSize(size.x() + 1, size.y() + 1);
  if (!cut) canvas.resetTruncated();
  return size;
}

}  // namespace

QPoint RenderPreview(TCanvas& canvas, const QString& mtext, const TRenderProps& props) {
  canvas.clearWindow();
  return render(canvas, mtext, props, nullptr);
}

QPoint RenderPreviewBand(TCanvas& canvas, const QString& mtext, const TRenderProps& props, const QRect& band,
                         TMTextLayout* layout) {
  canvas.setWindow(band);
  return render(canvas, mtext, props, layout);
}
