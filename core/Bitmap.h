#pragma once
// The one growth rule of every bitmap the renderer draws on (the preview, menu
// items, dialog previews).  Asked for room the bitmap does not have, a side
// grows to the asked extent plus its old extent plus one, so a long text needs
// few growth steps.  Sums saturate instead of overflowing.
#include <QSize>
#include <QtGlobal>

// Which side of the drawing surface the renderer asks to grow.
enum TResizeType : quint8 { rtWidth, rtHeight };

// Grows size for a request of AValue pixels; true when it changed.  A line
// drawn at the right edge x covers column x itself, so a width equal to the
// asked value is already too small; the bottom row is never drawn on, so a
// height equal to it is enough.
bool GrowBitmapSize(QSize& size, int AValue, TResizeType AResizeType);
