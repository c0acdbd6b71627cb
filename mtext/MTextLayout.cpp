#include "mtext/MTextLayout.h"

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

qsizetype commonSuffix(QStringView a, QStringView b, qsizetype limit) {
  const char16_t* ea = a.utf16() + a.size();
  const char16_t* eb = b.utf16() + b.size();
  qsizetype s = 0;
  while (s < limit && ea[-1 - s] == eb[-1 - s]) ++s;
  return s;
}

}  // namespace

TMTextLayout::TMTextLayout() = default;
TMTextLayout::~TMTextLayout() = default;

int TMTextLayout::lineCount() const { return int(FLines.size()); }

void TMTextLayout::clear() {
  FLines.clear();
  FText.clear();
}

void TMTextLayout::render(TCanvas& canvas, const QString& text, QPoint& size, const TAdjustSizeEvent& callback) {
  if (!canvas.windowed()) {
    clear();
    RenderMText(canvas, text, size, callback);
    return;
  }
  const QPoint pen = canvas.penPos();
  const TCanvas::TFontSnapshot font = canvas.saveFont();
  {
    TRenderContext ctx(canvas, text, callback);
    const TRenderState start = ctx.begin();
    // Where the kept lines stop being valid: all of them when the start differs.
    size_t first = 0;
    qsizetype changeEnd = 0, delta = 0;
    if (!FLines.empty() && FPen == pen && FDpi == ScreenDpiY() && FLines.front().state == start) {
      const qsizetype p = commonPrefix(FText, text);
      const qsizetype s = commonSuffix(FText, text, qMin(FText.size(), text.size()) - p);
      // The line the first change falls in: a line's codes never read past
      // its line-break code, so the lines before it stay as they were.
      first = size_t(std::upper_bound(FLines.begin(), FLines.end(), p,
                                      [](qsizetype v, const TLineRecord& r) { return v < r.start; }) -
                     FLines.begin()) - 1;
      changeEnd = text.size() - s;
      delta = text.size() - FText.size();
      if (p == text.size() && p == FText.size()) first = FLines.size();
    } else {
      FLines.clear();
    }
    FMeasured = 0;
    if (first < FLines.size() || FLines.empty()) {
      std::vector<TLineRecord> old;
      old.swap(FLines);
      FLines.reserve(old.size());
      std::move(old.begin(), old.begin() + qsizetype(first), std::back_inserter(FLines));
      TLineRecord rec;
      rec.state = old.empty() ? start : old[first].state;
      rec.start = old.empty() ? 0 : old[first].start;
      size_t m = first;  // the kept line a new line start is compared with
      for (bool restore = true;; restore = false) {
        const qsizetype next = ctx.layoutLine(rec, FLines.empty(), restore);
        ++FMeasured;
        FLines.push_back(std::move(rec));
        if (next < 0) break;
        rec = TLineRecord();
        rec.start = next;
        rec.state = ctx.capture();
        if (next < changeEnd || old.empty()) continue;
        // Past the change: the kept line starting at the same text goes on as
        // it did if it starts in the same state, and so do all after it.
        while (m < old.size() && old[m].start < next - delta) ++m;
        if (m < old.size() && old[m].start == next - delta && old[m].state == rec.state) {
          for (; m < old.size(); ++m) {
            old[m].start += delta;
            FLines.push_back(std::move(old[m]));
          }
          break;
        }
      }
    }
    FText = text;
    FPen = pen;
    FDpi = ScreenDpiY();
    if (draw(canvas, &ctx, pen, size, callback)) return;
  }
  // Too large to be sure of every sum: the whole render, from the same start.
  canvas.restoreFont(font);
  canvas.moveTo(pen.x(), pen.y());
  RenderMText(canvas, text, size, callback);
}

// Draws the lines reaching the band in order, and those whose requests grow
// the canvas (the size at each drawing cuts it as the whole render's does).
bool TMTextLayout::draw(TCanvas& canvas, void* context, QPoint pen, QPoint& size, const TAdjustSizeEvent& callback) {
  TRenderContext& ctx = *static_cast<TRenderContext*>(context);
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
  int widest = 0, y = pen.y();
  for (size_t j = 0; j < FLines.size(); ++j) {
    const TLineRecord& r = FLines[j];
    const int request = j == 0 ? r.height : y + r.height;
    if (callback && request > canvas.height() && callback(request, rtHeight)) canvas.setTransparentBackground();
    if (r.right != INT_MIN) {
      int origin = j == 0 ? pen.x() : 0;
      if (aligned) origin = ctx.lineOrigin(origin, r.width, r.para);
      const int right = origin + r.right;
      const bool inBand = y - r.reach <= band.bottom() && y + r.height + r.reach >= band.top();
      if (drawing && (inBand || qMax(widest, right) >= canvas.width()))
        widest = ctx.drawLine(r, y, origin, widest);
      else
        widest = qMax(widest, right);
    }
    if (j + 1 < FLines.size()) y += r.height;
  }
  size = QPoint(widest, qMax(y, FLines.back().height));
  return true;
}
