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
  // Appending goes on after a text that ends with a whole paragraph.
  explicit TMTextBuilder(QString& out, bool append = false) : FOut(out) {
    if (!append) FOut.resize(0);
  }
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

QString EditorTextToMText(QStringView text) { return EditorTextToMText(text.toString()); }

QString EditorTextToMText(QString&& text) {
  char16_t* p = reinterpret_cast<char16_t*>(text.data());
  qsizetype n = text.size();
  // The cut of the end: blanks, control characters and breaks.
  while (n > 0 && (p[n - 1] <= 32 || p[n - 1] == 0x2028)) --n;
  // A CR LF becomes \P where it stands; a break of one character (CR, LF,
  // U+2028) grows by one, so those are counted and placed after.
  qsizetype grow = 0;
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = p[i];
    if (c > u'\r' && c != 0x2028) continue;  // most characters: one test
    if (c == u'\r' && p[i + 1] == u'\n') {  // the cut left a printable character after the break
      p[i] = u'\\';
      p[++i] = u'P';
    } else if (c == u'\r' || c == u'\n' || c == 0x2028) {
      ++grow;
    }
  }
  qsizetype w = n + grow + 2;
  text.resize(w);
  p = reinterpret_cast<char16_t*>(text.data());
  p[--w] = u'P';
  p[--w] = u'\\';
  // Written from the end, nothing is overwritten before it is read; the text
  // before the first such break stays where it is.
  for (qsizetype i = n; i-- > 0 && w > i + 1;) {
    if (p[i] == u'\r' || p[i] == u'\n' || p[i] == 0x2028) {
      p[--w] = u'P';
      p[--w] = u'\\';
    } else {
      p[--w] = p[i];
    }
  }
  return std::move(text);
}

void EditorTextToMText(const QTextDocument& document, QString& out) {
  TMTextBuilder b(out);
  b.reserve(document.characterCount() + document.blockCount() + 2);
  for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) b.line(block.text());
  b.finish();
}

namespace {

bool blank(const QString& line) {
  for (const QChar c : line)
    if (c.unicode() > 32) return false;
  return true;
}

}  // namespace

TMTextMirror::TMTextMirror(const QTextDocument& document) : FDocument(document) {
  FWatch = QObject::connect(&document, &QTextDocument::contentsChange,
                            [this](int position, int removed, int added) { changed(position, removed, added); });
}

TMTextMirror::~TMTextMirror() { QObject::disconnect(FWatch); }

// Notes which blocks an edit touched (colouring is not reported as a change).
void TMTextMirror::changed(int position, int, int added) {
  if (!FBuilt) return;
  const int n = FDocument.blockCount();
  const int end = FDocument.characterCount() - 1;
  const int first = FDocument.findBlock(qBound(0, position, end)).blockNumber();
  const int last = FDocument.findBlock(qBound(0, position + added, end)).blockNumber();
  // The blocks after the edit are those that followed it before.
  const int kept = FNowBlocks - 1 - (last - (n - FNowBlocks));
  FFirst = FDirty ? qMin(FFirst, first) : first;
  FKept = FDirty ? qMin(FKept, kept) : kept;
  FKept = qBound(0, FKept, n - 1 - FFirst);
  FDirty = true;
  FNowBlocks = n;
}

TTextChange TMTextMirror::update() {
  const int n = FDocument.blockCount();
  if (!FBuilt) {
    FTail = -1;  // nothing kept: built from the first block
    rebuildEnd();
    FBuilt = true;
    FDirty = false;
    FBlocks = FNowBlocks = n;
    FChars = FDocument.characterCount();
    return {};
  }
  if (!FDirty) return {FText.size(), FText.size()};
  TTextChange change;
  const int last = n - 1 - FKept;
  if (FTail >= FBlocks - FKept) {
    // The last printable block is after the change: the changed blocks are
    // whole paragraphs in the middle of the MText.
    change = rebuildMiddle(last);
    FTail += n - FBlocks;
  } else {
    change = {rebuildEnd(), 0};
  }
  FBlocks = FNowBlocks = n;
  FChars = FDocument.characterCount();
  FDirty = false;
  return change;
}

// Blocks FFirst..last are put in place of what the MText had for them: each
// is its text and a paragraph break.
TTextChange TMTextMirror::rebuildMiddle(int last) {
  const int n = FDocument.blockCount();
  const qsizetype shift = qsizetype(FDocument.characterCount() - FChars) + (n - FBlocks);
  QTextBlock b = FDocument.findBlockByNumber(FFirst);
  const qsizetype start = b.position() + FFirst;
  const qsizetype oldEnd = FDocument.findBlockByNumber(last + 1).position() + (last + 1) - shift;
  QString piece;
  for (int k = FFirst; k <= last && b.isValid(); ++k, b = b.next()) {
    piece += b.text();
    piece += QLatin1String("\\P");
  }
  FText.replace(start, oldEnd - start, piece);
  return {start, FText.size() - start - piece.size()};
}

// The change reaches the end, whose blanks are cut: the MText is built again
// from the first block that changed or lost its cut.
qsizetype TMTextMirror::rebuildEnd() {
  const int n = FDocument.blockCount();
  int tail = n - 1;
  for (QTextBlock b = FDocument.lastBlock(); tail >= 0 && blank(b.text()); b = b.previous()) --tail;
  const int from = FTail < 0 || tail < 0 ? 0 : qMin(qMin(FFirst, tail), FTail);
  QTextBlock b = FDocument.findBlockByNumber(from);
  const qsizetype start = b.position() + from;
  FText.truncate(start);
  TMTextBuilder builder(FText, true);
  builder.reserve(start + FDocument.characterCount() - b.position() + (n - from) + 2);
  for (; b.isValid(); b = b.next()) builder.line(b.text());
  builder.finish();
  FTail = tail;
  return start;
}

namespace {

QPoint render(TCanvas& canvas, const QString& mtext, const TRenderProps& props, TMTextLayout* layout,
              const TTextChange* change) {
  canvas.resetTruncated();
  canvas.setSize(16, 16);
  canvas.setFont(props.rpFont.fpName, props.rpFont.fpSize, props.rpFont.fpStyle, props.rpFont.fpColor);
  canvas.setPenColor(props.rpFont.fpColor);
  canvas.setBrushColor(props.rpBackColor);
  if (!layout) canvas.fill();  // the layout fills what it draws again
  canvas.moveTo(0, 0);
  QPoint size;
  const TAdjustSizeEvent grow = [&canvas](int v, TResizeType t) { return GrowCanvas(canvas, v, t); };
  if (layout && change)
    layout->render(canvas, mtext, *change, size, grow);
  else if (layout)
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
  return render(canvas, mtext, props, nullptr, nullptr);
}

QPoint RenderPreviewBand(TCanvas& canvas, const QString& mtext, const TRenderProps& props, const QRect& band,
                         TMTextLayout* layout, const TTextChange* change) {
  canvas.setWindow(band);
  return render(canvas, mtext, props, layout, change);
}
