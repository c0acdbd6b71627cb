#pragma once
// The icon list of the menus, the popups and the toolbar, cut from an icon strip.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QVector>
#include <stdexcept>

// The icon list shared by the main menu, the popups and the toolbar: cells of
// one size (16 x 16), appended in strip order.
class TImageList {
 public:
  explicit TImageList(int width = 16, int height = 16) : FWidth(width), FHeight(height) {}
  int width() const { return FWidth; }
  int height() const { return FHeight; }
  int count() const { return int(FPixmaps.size()); }
  bool isValidIndex(int i) const { return i >= 0 && i < count(); }
  // An empty icon for an index out of range (IMAGEINDEX -1).
  QIcon icon(int i) const;
  QPixmap pixmap(int i) const;
  void clear() { FPixmaps.clear(); }
  void add(const QPixmap& pixmap) { FPixmaps.push_back(pixmap); }
  // Pixels of maskColor become transparent.
  void add(const QImage& image, QRgb maskColor);

 private:
  int FWidth;
  int FHeight;
  QVector<QPixmap> FPixmaps;
};

// The icon strip cannot be read.
class TIconStripError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Cuts the bitmap into cells of the list's size, row by row, left to right;
// partial cells at the right and bottom edges are dropped.  The colour of
// pixel (0, 0) is transparent in every icon.  Appends to the list.
void LoadIconStrip(TImageList& imageList, const QString& fileName);
