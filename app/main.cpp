// Korvex: the AutoCAD MText editor.  Started by the CAD program with the path
// of the text file to edit, or on a DXF drawing; `korvex --render FILE [--out
// IMAGE.png]` renders a file without a window; app/CommandLine.h has the rest.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <thread>

#include "app/CommandLine.h"
#include "app/General.h"
#include "app/RenderText.h"
#include "app/Session.h"
#include "app/UfrmMain.h"
#include "core/TextCodec.h"
#include "mtext/zorAcCanvas.h"
#include "platform/Paths.h"
#include "platform/Platform.h"
#include "platform/Signals.h"

namespace {

// What one PNG file may hold, and the pixels of one band while it is drawn.
constexpr qint64 kMaxPictureHeight = 32767;
constexpr qint64 kMaxPictureBytes = qint64(1) << 30;
constexpr qint64 kBandPixels = 4 * 1024 * 1024;

// The file's MText, built from its text in one pass; the text is gone
// before the render begins.
bool readMText(const QString& file, QString& mtext, QString& error) {
  QString text;
  TTextFormat format;
  if (!ReadTextFile(file, text, format, error)) return false;
  mtext = EditorTextToMText(std::move(text));
  return true;
}

int renderHeadless(int argc, char** argv) {
  QString file, out;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--render") == 0 && i + 1 < argc) {
      file = QString::fromLocal8Bit(argv[++i]);
    } else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
      out = QString::fromLocal8Bit(argv[++i]);
    }
  }
  if (file.isEmpty()) {
    std::fprintf(stderr, "Использование: korvex --render ФАЙЛ [--out РИСУНОК.png]\n");
    return 2;
  }
  if (!QFileInfo(file).isFile()) {
    std::fprintf(stderr, "%s\n", qPrintable(QStringLiteral("Файл не найден: %1").arg(file)));
    return 1;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // before the reader: Qt takes the first thread using it for its main one
  app.setApplicationName(QStringLiteral("Korvex"));
  // The file is read on a second core while the settings and the font
  // configuration load: on a large text the two take about as long.
  QString mtext, error;
  bool read = false;
  std::thread reader([&] { read = readMText(file, mtext, error); });
  ScreenDpiY();

  TOptions options;
  LoadSettingsFile(platform::programPaths().SettingsFile, options);
  TCanvas canvas;
  // The base font is loaded before the text arrives.
  RenderPreviewBand(canvas, QString(), options.RenderProps, QRect());
  reader.join();
  if (!read) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  // A band of no area: the whole text is scanned and measured, nothing drawn.
  const QPoint size = RenderPreviewBand(canvas, mtext, options.RenderProps, QRect());
  std::printf("%dx%d\n", size.x(), size.y());
  if (out.isEmpty()) return 0;
  const qint64 w = qint64(size.x()) + 1, h = qint64(size.y()) + 1;
  if (h > kMaxPictureHeight || w * h * 4 > kMaxPictureBytes) {
    std::fprintf(stderr, "%s\n",
                 qPrintable(QStringLiteral("Рисунок %1x%2 точек слишком велик для файла PNG: допустимо не более "
                                           "32767 точек в высоту и 1 ГБ на рисунок")
                                .arg(w)
                                .arg(h)));
    return 1;
  }
  QImage picture(int(w), int(h), QImage::Format_RGB32);
  if (picture.isNull()) {
    std::fprintf(stderr, "%s\n",
                 qPrintable(QStringLiteral("Недостаточно памяти для рисунка %1x%2 точек").arg(w).arg(h)));
    return 1;
  }
  // Band by band, each a few megabytes, straight into the picture.
  const int rows = int(qBound<qint64>(1, kBandPixels / w, h));
  for (int y = 0; y < h; y += rows) {
    const int bandRows = int(qMin<qint64>(rows, h - y));
    RenderPreviewBand(canvas, mtext, options.RenderProps, QRect(0, y, int(w), bandRows));
    const QImage& band = canvas.image();
    for (int r = 0; r < bandRows; ++r)
      std::memcpy(picture.scanLine(y + r), band.constScanLine(r), size_t(w) * 4);
  }
  if (!picture.save(out)) {
    std::fprintf(stderr, "%s\n", qPrintable(QStringLiteral("Не удается записать рисунок %1").arg(out)));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--render") == 0) return renderHeadless(argc, argv);
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  TStartRequest start;
  if (const int code = RunCommandLine(arguments, start); code >= 0) return code;

  platform::Application app(argc, argv);
  // The product name is the caption of every message box.
  app.setApplicationName(QStringLiteral("Korvex"));

  // Standard dialogs and buttons speak Russian.
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&qtTranslator);

  InitializeModules();
  // Outlives the window; the unit list is written back as it ends.
  TSession session;
  // The window opens the document it is given, the first argument after the program.
  QStringList windowArguments{app.arguments().value(0)};
  if (!start.file.isEmpty()) windowArguments << start.file;
  TfrmMain w(session, windowArguments);
  w.setStartHandle(start.handle);
  // A logout, kill or Ctrl+C keeps the text in its recovery copy.
  platform::setTerminationHandler([&w](int signal) { w.EndBySignal(signal); });
  w.show();
  const int result = app.exec();
  platform::setTerminationHandler({});
  return result;
}
