// Korvex: the AutoCAD MText editor.  Started by the CAD program with the path
// of the text file to edit; `korvex --render FILE [--out IMAGE.png]` renders
// a file without a window.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstring>

#include "app/General.h"
#include "app/RenderText.h"
#include "app/UfrmMain.h"
#include "core/TextCodec.h"
#include "mtext/zorAcCanvas.h"
#include "platform/Platform.h"

namespace {

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
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("Korvex"));
  ScreenDpiY();

  LoadSettingsFile(SettingsFileName());
  QStringList lines;
  TTextFormat format;
  QString error;
  if (!QFileInfo(file).isFile()) {
    std::fprintf(stderr, "%s\n", qPrintable(QStringLiteral("Файл не найден: %1").arg(file)));
    return 1;
  }
  if (!ReadTextFile(file, lines, format, error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  TCanvas canvas;
  const QPoint size = RenderPreview(canvas, EditorTextToMText(lines, format.lineBreak), Options.RenderProps);
  std::printf("%dx%d\n", size.x(), size.y());
  if (canvas.truncated())
    std::fprintf(stderr, "%s\n",
                 qPrintable(QStringLiteral("Изображение обрезано до %1x%2 точек")
                                .arg(canvas.width())
                                .arg(canvas.height())));
  if (!out.isEmpty() && !canvas.image().save(out)) {
    std::fprintf(stderr, "%s\n", qPrintable(QStringLiteral("Не удается записать рисунок %1").arg(out)));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--render") == 0) return renderHeadless(argc, argv);

  platform::Application app(argc, argv);
  // The product name is the caption of every message box.
  app.setApplicationName(QStringLiteral("Korvex"));

  // Standard dialogs and buttons speak Russian.
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&qtTranslator);

  InitializeModules();
  TfrmMain w(app.arguments());
  w.show();
  const int result = app.exec();
  FinalizeModules();
  return result;
}
