#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

#include "app/DxfDocument.h"
#include "app/UfrmDxfChooser.h"
#include "core/TextCodec.h"
#include "dxf/DxfDrawing.h"

namespace {

const char* const kUsage =
    "Использование:\n"
    "  korvex [ФАЙЛ]                     открыть текст (по абзацу MText в строке)\n"
    "  korvex ЧЕРТЕЖ.dxf [--handle МЕТКА] открыть многострочный текст чертежа DXF\n"
    "  korvex --list ЧЕРТЕЖ.dxf           перечислить тексты чертежа\n"
    "  korvex --plain ФАЙЛ                вывести текст без кодов форматирования\n"
    "  korvex --plain ЧЕРТЕЖ.dxf --handle МЕТКА\n"
    "  korvex --render ФАЙЛ [--out РИСУНОК.png]\n"
    "\n"
    "Параметры:\n"
    "  -h, --help          показать эту справку и выйти\n"
    "  -v, --version       показать версию и выйти\n"
    "  --list ЧЕРТЕЖ.dxf   по строке на каждый многострочный текст (MTEXT) чертежа:\n"
    "                      метка, слой, где он (модель, лист, блок), начало текста;\n"
    "                      поля разделены табуляцией\n"
    "  --handle МЕТКА      текст чертежа с этой меткой (handle): открыть его без\n"
    "                      списка текстов или, вместе с --plain, вывести его\n"
    "  --plain ФАЙЛ        вывести текст так, как его показывает AutoCAD: без кодов\n"
    "                      форматирования, абзац на строке\n"
    "  --render ФАЙЛ       измерить текст, как его рисует предпросмотр (без окна)\n"
    "  --out РИСУНОК.png   вместе с --render: записать рисунок\n"
    "\n"
    "Коды возврата: 0 — успешно, 1 — файл не прочитан, 2 — неверная командная строка.\n";

void print(FILE* to, const QString& s) {
  const QByteArray bytes = s.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

int usageError(const QString& message) {
  print(stderr, message + QLatin1Char('\n'));
  std::fputs(kUsage, stderr);
  return 2;
}

int fail(const QString& message) {
  print(stderr, message + QLatin1Char('\n'));
  return 1;
}

int listDrawing(const QString& path) {
  TDxfDrawing d;
  QString error;
  if (!d.load(path, error)) return fail(error);
  QString out;
  for (const TDxfMText& m : d.mtexts())
    out += QStringList{m.handle.isEmpty() ? QStringLiteral("№%1").arg(m.index + 1) : m.handle, m.layer,
                       m.placeName(), DxfTextStart(m.text)}
               .join(QLatin1Char('\t')) +
           QLatin1Char('\n');
  print(stdout, out);
  return 0;
}

int printPlain(const QString& path, const QString& handle) {
  QString mtext;
  QString error;
  if (IsDxfPath(path)) {
    TDxfDrawing d;
    if (!d.load(path, error)) return fail(error);
    const TDxfMText* m = handle.isEmpty() && d.mtexts().size() == 1 ? &d.mtexts()[0] : d.find(handle);
    if (handle.isEmpty() && !m)
      return usageError(
          QStringLiteral("В чертеже %1 несколько текстов: укажите метку (--handle), список выводит --list").arg(path));
    if (!m) return fail(QStringLiteral("В чертеже %1 нет многострочного текста с меткой %2").arg(path, handle));
    mtext = m->text;
  } else {
    if (!handle.isEmpty()) return usageError(QStringLiteral("Параметр --handle относится только к чертежу DXF"));
    if (!QFileInfo(path).isFile()) return fail(QStringLiteral("Файл не найден: %1").arg(path));
    QStringList lines;
    TTextFormat format;
    if (!ReadTextFile(path, lines, format, error)) return fail(error);
    mtext = LinesToMText(lines);
  }
  QString plain = DxfPlainText(mtext);
  if (!plain.endsWith(QLatin1Char('\n'))) plain += QLatin1Char('\n');
  print(stdout, plain);
  return 0;
}

}  // namespace

int RunCommandLine(const QStringList& arguments, TStartRequest& start) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  const QCommandLineOption list(QStringLiteral("list"), QString(), QStringLiteral("file"));
  const QCommandLineOption handle(QStringLiteral("handle"), QString(), QStringLiteral("handle"));
  const QCommandLineOption plain(QStringLiteral("plain"), QString(), QStringLiteral("file"));
  const QCommandLineOption render(QStringLiteral("render"), QString(), QStringLiteral("file"));
  const QCommandLineOption out(QStringLiteral("out"), QString(), QStringLiteral("file"));
  parser.addOptions({help, version, list, handle, plain, render, out});
  // The toolkit's own options (-platform, -style, …) stay the toolkit's.
  for (const char* name : {"platform", "style", "stylesheet", "display", "geometry", "qwindowgeometry",
                           "qwindowtitle", "qwindowicon", "session", "plugin"})
    parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
  for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"})
    parser.addOption(QCommandLineOption(QString::fromLatin1(name)));

  if (!parser.parse(arguments)) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
      return usageError(QStringLiteral("Неизвестный параметр: %1%2")
                            .arg(unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"),
                                 unknown.first()));
    // Qt's own text names the option between quotes: "Missing value after '--list'."
    const QString text = parser.errorText();
    const qsizetype from = text.indexOf(QLatin1Char('\'')), to = text.lastIndexOf(QLatin1Char('\''));
    return usageError(QStringLiteral("У параметра %1 нет значения").arg(from >= 0 && to > from ? text.mid(from + 1, to - from - 1) : text));
  }
  if (parser.isSet(help)) {
    std::fputs("Korvex — редактор многострочного текста AutoCAD (MText) с предпросмотром.\n\n", stdout);
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::fputs("Korvex " KORVEX_VERSION "\n", stdout);
    return 0;
  }
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) return usageError(QStringLiteral("Лишний аргумент: %1").arg(files.at(1)));
  if (parser.isSet(list)) {
    if (!files.isEmpty() || parser.isSet(plain) || parser.isSet(handle))
      return usageError(QStringLiteral("С параметром --list указывается только чертеж"));
    return listDrawing(parser.value(list));
  }
  if (parser.isSet(plain)) {
    if (!files.isEmpty()) return usageError(QStringLiteral("Лишний аргумент: %1").arg(files.first()));
    return printPlain(parser.value(plain), parser.value(handle));
  }
  if (parser.isSet(out) && !parser.isSet(render))
    return usageError(QStringLiteral("Параметр --out действует только вместе с --render"));
  start.file = files.value(0);
  start.handle = parser.value(handle);
  if (!start.handle.isEmpty() && !IsDxfPath(start.file))
    return usageError(QStringLiteral("Параметр --handle относится только к чертежу DXF"));
  return -1;
}
