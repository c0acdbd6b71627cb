#include "core/Bitmap.h"

#include <limits>

namespace {
int grownExtent(int current, int asked) {
  const qint64 sum = qint64(current) + qint64(asked) + 1;
  return int(qMin<qint64>(sum, std::numeric_limits<int>::max()));
}
}  // namespace

bool GrowBitmapSize(QSize& size, int AValue, TResizeType AResizeType) {
  if (AResizeType == rtWidth) {
    if (AValue < size.width()) return false;
    size.setWidth(grownExtent(size.width(), AValue));
  } else {
    if (AValue <= size.height()) return false;
    size.setHeight(grownExtent(size.height(), AValue));
  }
  return true;
}
