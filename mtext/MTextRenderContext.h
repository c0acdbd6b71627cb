#pragma once
// The renderer's scan, shared by RenderMText (the whole text at once) and
// TMTextLayout (line by line, keeping what it measured).  Internal to mtext/.
#include <QString>
#include <QVector>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "mtext/MTextLexicon.h"
#include "mtext/zorAcCanvas.h"
#include "mtext/zorAcMtextRender.h"

namespace mtextrender {

// Paragraph properties of \p: indents and tab stops in multiples of the
// starting character height, as AutoCAD counts them.  They hold from the
// paragraph where they are set on; braces do not restore them.
struct TParagraph {
  double first = 0, left = 0, right = 0;
  char16_t align = u'l';  // l, c, r; j and d are drawn left
  QVector<double> tabs;
  bool operator==(const TParagraph& o) const {
    return first == o.first && left == o.left && right == o.right && align == o.align && tabs == o.tabs;
  }
};

// Everything the scan carries from one line into the next: a line drawn from
// it looks the same whatever came before.
struct TRenderState {
  TFormatText format;               // its colour: the font colour
  double tracking = 1.0;            // \T: braces do not restore it
  std::vector<TFormatText> groups;  // saved at the braces still open
  TParagraph para;
  TCanvas::TFontSnapshot font;
  bool operator==(const TRenderState& o) const {
    return format == o.format && tracking == o.tracking && groups == o.groups && para == o.para && font == o.font;
  }
  bool operator!=(const TRenderState& o) const { return !(*this == o); }
};

// One line as measured: from its start position up to and with its
// line-break code (the last line: to the end of the text).
struct TLineRecord {
  quint64 id = 0;           // new at every measurement: the same id, the same line
  qsizetype start = 0;
  std::shared_ptr<const TRenderState> state;  // at the start, shared by the lines starting alike
  int height = 0;           // the line box
  int width = 0;            // right edge reached, from where the text starts
  int right = INT_MIN;      // the same, INT_MIN when the line draws nothing
  int reach = 0;            // how far ink may stand out above and below the box
  TParagraph para;          // at the end: what aligns the line
  bool paraCode = false;    // the line holds a \p
};

class TRenderContext {
 public:
  TRenderContext(TCanvas& canvas, const QString& text, const TAdjustSizeEvent& callback);

  // The whole text, drawn as it always was; size receives the drawn size.
  void run(QPoint& size);

  // --- line by line (TMTextLayout)
  // Takes the canvas's font and pen as the start; returns the state there.
  TRenderState begin();
  // Measures the line at rec.start from rec.state (restored first when
  // restore is set, otherwise the scan goes on where it stopped); returns
  // where the next line starts, or -1 after the last line.
  qsizetype layoutLine(TLineRecord& rec, bool first, bool restore);
  TRenderState capture() const;
  // Draws the line with its text starting at origin; widest is the right
  // edge reached so far (the size requests grow from it).  Returns it updated.
  // Dry: only the size requests, nothing drawn.
  int drawLine(const TLineRecord& rec, int top, int origin, int widest, bool dry = false);
  // Where the text of a line of the given layout starts when the text has
  // paragraph codes and textWidth is the widest line with its indents.
  int lineOrigin(int baseX, int width, const TParagraph& para) const;
  int alignWidth(int width, const TParagraph& para) const;
  void setTextWidth(int w) { FTextWidth = w; }

 private:
  // --- scanning
  qsizetype scanLine(qsizetype pos);
  qsizetype token(const TMTextToken& t);
  void code(const TMTextToken& t);
  void colourCode(const TMTextToken& t);
  int measureLineHeight(qsizetype from);
  void setMTextFont(double widthFactor);
  void setMTextFont() { setMTextFont(FFormat.Width()); }
  void fontCode(QStringView param);
  void paragraphCode(QStringView p);
  void openGroup();
  void closeGroup();
  void restore(const TRenderState& s);
  void nextLine(qsizetype next);
  void startLine(int baseX);
  void tab();
  int paraPx(double units) const;

  // --- drawing
  bool measured(int x2);
  bool reserveWidth(int right);
  int cellTop(int cellHeight) const;
  void decorate(int x2, int w);
  void drawGlyph(QChar ch);
  void drawSpecialSymbol(QChar code);
  void drawStack(QStringView stackText, int L);

  TCanvas& FCanvas;
  const QString& FText;
  const qsizetype FLen;
  const TAdjustSizeEvent& FCallback;
  const int FDpi;

  TFormatText FFormat;
  double FTracking = 1.0;
  std::vector<TFormatText> FGroups;
  int FLineTop = 0;
  int FLineHeight = 0;
  int FWidest = 0;
  // Ascent + descent of the current font, asked once per font change instead
  // of twice per character.
  int FCellHeight = 0;
  // The lexer of the drawing scan and the one of the line-height look-ahead:
  // each remembers the terminators it found on its own way through the text.
  TMTextLexer FLexDraw;
  TMTextLexer FLexMeasure;
  // The codes of the current line as its measurement read them, handed on to
  // the drawing so that each code is read once.
  std::vector<TMTextToken> FLineTokens;
  size_t FLineTokenAt = 0;
  bool FLineBroken = false;  // the scan just read a line-break code

  // Paragraph layout.  A text with paragraph codes is scanned twice: first
  // measuring only (FMeasuring, nothing drawn, no size requests), to learn how
  // wide each line is, then drawing each line where its alignment puts it.
  int FBasePx = 0;
  int FStartX = 0;  // the pen's x when the scan began: where the first line starts
  TParagraph FPara;
  bool FMeasuring = false;
  bool FDry = false;
  // The canvas keeps no pixel at all (a band of no area): every pass is dry.
  bool FBlind = false;
  // The widest extent last asked of the callback.
  int FReported = INT_MIN;
  struct TLineLayout {
    int width = 0;
    TParagraph para;
  };
  QVector<TLineLayout> FLayout;
  int FTextWidth = 0;  // the widest line with its indents: what lines align in
  int FLineIndex = 0;
  int FLineOrigin = 0;       // x where the current line's text starts
  int FLineRight = 0;        // measuring: right edge reached, from FLineOrigin
  int FLineLast = INT_MIN;   // measuring: the same, only from what was drawn
  int FLineReach = 0;        // measuring: the largest ink reach of the fonts used
};

// Whether a text holds a \p code (or what looks like one: \\p too).
bool hasParagraphCode(QStringView s);
// Saturating sum of pixel values; a line of huge characters ends at MaxCoord.
inline int addPx(qint64 a, qint64 b) {
  return int(std::clamp<qint64>(a + b, -qint64(TCanvas::MaxCoord), TCanvas::MaxCoord));
}

}  // namespace mtextrender
