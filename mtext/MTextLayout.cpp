#include "mtext/MTextLayout.h"

#include <QHash>

#include <algorithm>

#include "mtext/MTextRenderContext.h"

using namespace mtextrender;

namespace {

// Extents beyond this could saturate where a whole render would not: such
// texts are drawn by the whole render.
constexpr qint64 Limit = TCanvas::MaxCoord / 8;

qsizetype commonPrefix(QStringView a, QStringView b) {
  const qsizetype n = qMin(a.size(), b.size());
  const auto m = std::mismatch(a.utf16(), a.utf16() + n, b.utf16());
  return qsizetype(m.first - a.utf16());
}

size_t hashState(const TRenderState& s) {
  const TFormatText& f = s.format;
  const TCanvas::TFontSnapshot& k = s.font;
  size_t h = qHashMulti(0, f.FontName(), f.Height(), f.Width(), f.Angle(), f.Bold(), f.Italic(), f.Underline(),
                        f.Overline(), f.StrikeOut(), f.Color(), f.Align());
  h = qHashMulti(h, s.tracking, s.groups.size(), s.para.first, s.para.left, s.para.right, s.para.align,
                 s.para.tabs.size());
  return qHashMulti(h, k.face, k.charHeight, k.width, k.weight, k.italic, k.underline, k.strikeOut, k.fontColor,
                    k.penColor);
}

qsizetype commonSuffix(QStringView a, QStringView b, qsizetype limit) {
  const char16_t* ea = a.utf16() + a.size();
  const char16_t* eb = b.utf16() + b.size();
  qsizetype s = 0;
  while (s < limit && ea[-1 - s] == eb[-1 - s]) ++s;
  return s;
}

}  // namespace

std::shared_ptr<const TRenderState> TMTextLayout::TStatePool::intern(TRenderState&& s) {
  const size_t h = hashState(s);
  const auto [from, to] = FStates.equal_range(h);
  for (auto it = from; it != to; ++it)
    if (*it->second == s) return it->second;
  auto kept = std::make_shared<const TRenderState>(std::move(s));
  FStates.emplace(h, kept);
  if (FStates.size() >= FPurgeAt) {
    // States no line starts in any more go.
    for (auto it = FStates.begin(); it != FStates.end();) it = it->second.use_count() == 1 ? FStates.erase(it) : ++it;
    FPurgeAt = qMax<size_t>(1024, 2 * FStates.size());
  }
  return kept;
}

void TMTextLayout::TStatePool::clear() {
  FStates.clear();
  FPurgeAt = 1024;
}

TMTextLayout::TMTextLayout() = default;
TMTextLayout::~TMTextLayout() = default;

int TMTextLayout::lineCount() const { return int(FLines.size()); }

void TMTextLayout::clear() {
  FLines.clear();
  FStates.clear();
  FText.clear();
  FTextKept = false;
  FCanvas = nullptr;
}

void TMTextLayout::render(TCanvas& canvas, const QString& text, QPoint& size, const TAdjustSizeEvent& callback) {
  TTextChange change;
  if (FTextKept) {
    change.prefix = commonPrefix(FText, text);
    change.suffix = commonSuffix(FText, text, qMin(FText.size(), text.size()) - change.prefix);
  }
  FText = text;
  FTextKept = true;
  layout(canvas, text, change, size, callback);
}

void TMTextLayout::render(TCanvas& canvas, const QString& text, const TTextChange& change, QPoint& size,
                          const TAdjustSizeEvent& callback) {
  FText.clear();
  FTextKept = false;
  layout(canvas, text, change, size, callback);
}

void TMTextLayout::layout(TCanvas& canvas, const QString& text, TTextChange change, QPoint& size,
                          const TAdjustSizeEvent& callback) {
  FRepainted = QRect(0, 0, TCanvas::MaxCoord, TCanvas::MaxCoord);
  if (!canvas.windowed()) {
    clear();
    canvas.fill();
    RenderMText(canvas, text, size, callback);
    return;
  }
  const QPoint pen = canvas.penPos();
  const TCanvas::TFontSnapshot font = canvas.saveFont();
  {
    TRenderContext ctx(canvas, text, callback);
    const TRenderState start = ctx.begin();
    if (FLines.empty() || FPen != pen || FDpi != ScreenDpiY() || *FLines.front().state != start) {
      FLines.clear();
      FStates.clear();
      TLineRecord rec;
      rec.state = FStates.intern(TRenderState(start));
      measure(ctx, rec, 0, 0, 0);
    } else {
      const qsizetype common = qMin(FTextSize, text.size());
      const qsizetype p = qBound<qsizetype>(0, change.prefix, common);
      const qsizetype s = qBound<qsizetype>(0, change.suffix, common - p);
      // The line the first change falls in: a line's codes never read past
      // its line-break code, so the lines before it stay as they were.
      const size_t first = size_t(std::upper_bound(FLines.begin(), FLines.end(), p,
                                                   [](qsizetype v, const TLineRecord& r) { return v < r.start; }) -
                                  FLines.begin()) - 1;
      FMeasured = 0;
      if (p < text.size() || p < FTextSize) {
        TLineRecord rec;
        rec.state = FLines[first].state;
        rec.start = FLines[first].start;
        measure(ctx, rec, first, text.size() - s, text.size() - FTextSize);
      }
    }
    FTextSize = text.size();
    FPen = pen;
    FDpi = ScreenDpiY();
    if (draw(canvas, ctx, pen, size, callback)) return;
  }
  // Too large to be sure of every sum: the whole render, from the same start.
  canvas.restoreFont(font);
  canvas.moveTo(pen.x(), pen.y());
  canvas.fill();
  FCanvas = nullptr;
  RenderMText(canvas, text, size, callback);
}

// Measures from line first (rec: its start and state) on, in place of the
// kept lines, until a line past changeEnd starts where a kept line started
// (delta characters earlier) and in its state: the kept lines go on from there.
void TMTextLayout::measure(TRenderContext& ctx, TLineRecord& rec, size_t first, qsizetype changeEnd,
                           qsizetype delta) {
  FMeasured = 0;
  std::vector<TLineRecord> fresh;
  size_t m = first;  // the kept line a new line start is compared with
  for (bool restore = true;; restore = false) {
    rec.id = FNextId++;
    const qsizetype next = ctx.layoutLine(rec, first == 0 && fresh.empty(), restore);
    ++FMeasured;
    fresh.push_back(std::move(rec));
    if (next < 0) break;
    rec = TLineRecord();
    rec.start = next;
    rec.state = FStates.intern(ctx.capture());
    if (next < changeEnd) continue;
    while (m < FLines.size() && FLines[m].start < next - delta) ++m;
    if (m < FLines.size() && FLines[m].start == next - delta &&
        (FLines[m].state == rec.state || *FLines[m].state == *rec.state)) {
      // The kept lines [first, m) give way to the fresh ones; those after
      // them only move in the text.
      for (size_t k = m; k < FLines.size(); ++k) FLines[k].start += delta;
      const size_t replaced = m - first, common = qMin(replaced, fresh.size());
      std::move(fresh.begin(), fresh.begin() + qsizetype(common), FLines.begin() + qsizetype(first));
      if (replaced > common)
        FLines.erase(FLines.begin() + qsizetype(first + common), FLines.begin() + qsizetype(m));
      else
        FLines.insert(FLines.begin() + qsizetype(m), std::make_move_iterator(fresh.begin() + qsizetype(common)),
                      std::make_move_iterator(fresh.end()));
      return;
    }
  }
  if (first == 0) {
    FLines.swap(fresh);  // a whole layout: never two copies of every line
  } else {
    FLines.resize(first);
    std::move(fresh.begin(), fresh.end(), std::back_inserter(FLines));
  }
}

// Draws the lines reaching the band in order, and those whose requests grow
// the canvas (the size at each drawing cuts it as the whole render's does).
bool TMTextLayout::draw(TCanvas& canvas, TRenderContext& ctx, QPoint pen, QPoint& size, const TAdjustSizeEvent& callback) {
  bool aligned = false;
  for (const TLineRecord& r : FLines) aligned = aligned || r.paraCode;
  qint64 textWidth = 0, top = pen.y();
  if (qAbs(qint64(pen.x())) > Limit) return false;
  for (const TLineRecord& r : FLines) {
    if (aligned) textWidth = qMax<qint64>(textWidth, ctx.alignWidth(r.width, r.para));
    if (r.width > Limit || r.height > Limit || qAbs(qint64(r.right == INT_MIN ? 0 : r.right)) > Limit) return false;
    top += r.height;
  }
  if (textWidth > Limit || qAbs(top) > Limit) return false;
  ctx.setTextWidth(int(textWidth));

  const QRect band = canvas.window();
  const bool drawing = !band.isEmpty();
  std::vector<TDrawn> drawn;
  int widest = 0, y = pen.y();
  for (size_t j = 0; j < FLines.size(); ++j) {
    const TLineRecord& r = FLines[j];
    const int request = j == 0 ? r.height : y + r.height;
    if (callback && request > canvas.height() && callback(request, rtHeight)) canvas.setTransparentBackground();
    if (r.right != INT_MIN) {
      int origin = j == 0 ? pen.x() : 0;
      if (aligned) origin = ctx.lineOrigin(origin, r.width, r.para);
      const int right = origin + r.right;
      const bool grows = qMax(widest, right) >= canvas.width();
      if (drawing && y - r.reach <= band.bottom() && y + r.height + r.reach >= band.top())
        drawn.push_back({r.id, y, origin, r.height, canvas.width(), canvas.height(), grows ? widest : -1, widest,
                         y - r.reach, y + r.height + r.reach + 1, origin + r.right + r.reach + 1, j});
      // A line that grows the surface is run for its requests: the size each
      // later line is cut at follows from them.
      if (drawing && grows)
        widest = ctx.drawLine(r, y, origin, widest, true);
      else
        widest = qMax(widest, right);
    }
    if (j + 1 < FLines.size()) y += r.height;
  }
  size = QPoint(widest, qMax(y, FLines.back().height));
  if (drawing) repaint(canvas, ctx, drawn);
  return true;
}

// Draws the band's lines again where the picture changed: everywhere when the
// band does not hold the last picture, otherwise across the rows reached by
// the lines that are new, gone, or moved, and in the columns where only the
// surface's width at a line's drawing changed (all the lines reaching an
// area are drawn there again, in order).
void TMTextLayout::repaint(TCanvas& canvas, TRenderContext& ctx, std::vector<TDrawn>& drawn) {
  const QRect band = canvas.window();
  const QSize final(canvas.width(), canvas.height());
  const bool kept = FCanvas == &canvas && FStamp == canvas.stamp() && FBand == band && FBrush == canvas.brushColor();
  QRect rows = band, strip;
  if (kept) {
    int from = INT_MAX, to = INT_MIN;
    auto damage = [&](const TDrawn& d) {
      from = qMin(from, d.from);
      to = qMax(to, d.to);
    };
    QHash<quint64, size_t> was;
    for (size_t k = 0; k < FDrawn.size(); ++k) was.insert(FDrawn[k].id, k);
    std::vector<bool> same(FDrawn.size(), false);
    for (const TDrawn& d : drawn) {
      const auto it = was.constFind(d.id);
      if (it == was.constEnd() || !FDrawn[*it].sameLine(d)) {
        damage(d);
        continue;
      }
      same[*it] = true;
      const auto [cutFrom, cutTo] = d.cut(FDrawn[*it]);
      if (cutFrom < cutTo) strip |= QRect(cutFrom, d.from, cutTo - cutFrom, d.to - d.from);
    }
    for (size_t k = 0; k < FDrawn.size(); ++k)
      if (!same[k]) damage(FDrawn[k]);
    rows = from < to ? QRect(band.left(), from, band.width(), to - from) & band : QRect();
    strip &= band;
  }
  FRepainted = QRegion(rows) | strip;
  if (!kept) canvas.fill();
  for (const QRect& area : {rows, strip}) {
    if (area.isEmpty()) continue;
    // Refilled as a whole band would be: beyond the surface too.
    canvas.setSize(TCanvas::MaxCoord, TCanvas::MaxCoord);
    if (kept) canvas.fillRect(area);
    canvas.setClip(area);
    for (const TDrawn& d : drawn) {
      if (d.to <= area.top() || d.from > area.bottom()) continue;
      canvas.setSize(d.w, d.h);
      ctx.drawLine(FLines[d.index], d.top, d.origin, d.widest);
    }
    canvas.setClip(QRect());
  }
  canvas.setSize(final.width(), final.height());
  FDrawn = std::move(drawn);
  FCanvas = &canvas;
  FStamp = canvas.stamp();
  FBand = band;
  FBrush = canvas.brushColor();
}
