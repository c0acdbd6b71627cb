#include "menus/ImageList.h"

#include <QDir>
#include <QImageReader>

QIcon TImageList::icon(int i) const { return isValidIndex(i) ? QIcon(FPixmaps[i]) : QIcon(); }

QPixmap TImageList::pixmap(int i) const { return isValidIndex(i) ? FPixmaps[i] : QPixmap(); }

void TImageList::add(const QImage& image, QRgb maskColor) {
  QImage img = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = maskColor & 0x00FFFFFFu;
  for (int y = 0; y < img.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((line[x] & 0x00FFFFFFu) == key) line[x] = 0;
  }
  FPixmaps.push_back(QPixmap::fromImage(img));
}

void LoadIconStrip(TImageList& imageList, const QString& fileName) {
  QImageReader reader(fileName);
  QImage strip = reader.read();
  if (strip.isNull()) {
    QString why;
    switch (reader.error()) {
      case QImageReader::FileNotFoundError:
        why = QStringLiteral("файл не найден");
        break;
      case QImageReader::DeviceError:
        why = QStringLiteral("ошибка чтения");
        break;
      case QImageReader::UnsupportedFormatError:
        why = QStringLiteral("это не рисунок известного формата");
        break;
      default:
        why = QStringLiteral("рисунок поврежден");
        break;
    }
    throw TIconStripError(QStringLiteral("Не удалось прочитать файл значков %1: %2")
                              .arg(QDir::toNativeSeparators(fileName), why)
                              .toStdString());
  }
  const int cw = imageList.width();
  const int ch = imageList.height();
  const int columns = strip.width() / cw;
  const int rows = strip.height() / ch;
  const QRgb transparent = strip.pixel(0, 0);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) imageList.add(strip.copy(c * cw, r * ch, cw, ch), transparent);
}
