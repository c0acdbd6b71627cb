#pragma once
// The preview's layout kept from one render to the next: per line, the format
// state at its start and what was measured in it.  After an edit the lines are
// measured again from the first changed one until a line starts in the state
// it had before (the rest moves as a whole); only the lines reaching the
// canvas's band are drawn, and of those only the ones whose place or text
// changed when the band still holds the previous picture.  The band's pixels
// and the drawn size are those of RenderMText on the same canvas.
#include <QPoint>
#include <QRegion>
#include <QString>

#include <memory>
#include <unordered_map>
#include <vector>

#include "mtext/zorAcMtextRender.h"

namespace mtextrender {
struct TLineRecord;
struct TRenderState;
class TRenderContext;
}

// What changed between two texts: how many leading and trailing characters
// of the new one are those of the previous one (counts may overlap).
struct TTextChange {
  qsizetype prefix = 0, suffix = 0;
};

class TMTextLayout {
 public:
  TMTextLayout();
  ~TMTextLayout();
  TMTextLayout(const TMTextLayout&) = delete;
  TMTextLayout& operator=(const TMTextLayout&) = delete;

  // RenderMText on a canvas prepared the same way, except that the layout
  // fills the band with the brush itself (where it has to).  A canvas without a band
  // (TCanvas::setWindow), or a text whose extents come near the canvas bound,
  // is drawn by RenderMText itself.  The callback is asked only for sizes the
  // canvas does not have yet.
  // The change since the previous render is found by comparing text with a
  // copy of the previous one.
  void render(TCanvas& canvas, const QString& text, QPoint& size, const TAdjustSizeEvent& callback);
  // The same when the caller knows what changed (no copy of the text kept):
  // at least everything between change's prefix and suffix must be counted.
  void render(TCanvas& canvas, const QString& text, const TTextChange& change, QPoint& size,
              const TAdjustSizeEvent& callback);
  void clear();
  // Lines the last render measured, and lines it keeps.
  int measuredLines() const { return FMeasured; }
  int lineCount() const;
  // The part of the canvas the last render drew again (all of it when the
  // band did not hold the previous picture).
  QRegion repainted() const { return FRepainted; }

 private:
  void layout(TCanvas& canvas, const QString& text, TTextChange change, QPoint& size,
              const TAdjustSizeEvent& callback);
  void measure(mtextrender::TRenderContext& ctx, mtextrender::TLineRecord& rec, size_t first, qsizetype changeEnd,
               qsizetype delta);
  bool draw(TCanvas& canvas, mtextrender::TRenderContext& ctx, QPoint pen, QPoint& size,
            const TAdjustSizeEvent& callback);
  // A line drawn into the band: where and with which surface, and the rows
  // and columns its ink may reach.
  struct TDrawn {
    quint64 id;
    int top, origin, height, w, h, growsFrom, widest, from, to, inkRight;
    size_t index;
    // The same pixels but maybe where the surface's width cut the line (the
    // width, and so where the surface grows, changes for every later line
    // when an edit widens the text): see cut().
    bool sameLine(const TDrawn& o) const {
      return id == o.id && top == o.top && origin == o.origin && height == o.height &&
             (h == o.h || (h >= to && o.h >= to));
    }
    // The columns where the surface's width may have cut the line
    // differently: none left of both widths, none beyond the ink, none beyond
    // both widths unless the line grew the surface as it was drawn.
    std::pair<int, int> cut(const TDrawn& o) const {
      if (w == o.w && growsFrom == o.growsFrom) return {0, 0};
      const bool grew = growsFrom >= 0 || o.growsFrom >= 0;
      return {qMin(w, o.w), grew ? inkRight : qMin(qMax(w, o.w), inkRight)};
    }
  };
  void repaint(TCanvas& canvas, mtextrender::TRenderContext& ctx, std::vector<TDrawn>& drawn);

  QString FText;            // the previous text, for render without a change
  bool FTextKept = false;   // FText is the text of the previous render
  qsizetype FTextSize = 0;  // the length of the previous text
  // The picture the band holds: what was drawn into which canvas, and the
  // canvas's stamp after it.
  std::vector<TDrawn> FDrawn;
  const TCanvas* FCanvas = nullptr;
  quint64 FStamp = 0;
  QRect FBand;
  QRegion FRepainted;
  TColor FBrush = 0;
  quint64 FNextId = 1;
  QPoint FPen;
  int FDpi = 0;
  // Equal line states are kept once: a long text starts its lines in few states.
  class TStatePool {
   public:
    std::shared_ptr<const mtextrender::TRenderState> intern(mtextrender::TRenderState&& s);
    void clear();

   private:
    std::unordered_multimap<size_t, std::shared_ptr<const mtextrender::TRenderState>> FStates;
    size_t FPurgeAt = 1024;
  };
  TStatePool FStates;
  std::vector<mtextrender::TLineRecord> FLines;
  int FMeasured = 0;
};
