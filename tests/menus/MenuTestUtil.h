#pragma once
// Small builders for menu definition files written by the tests.
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QToolBar>

namespace menutest {

// One ITEM with all ten attributes; children go between the tags.
inline QString escaped(QString s) {
  return s.replace(QLatin1Char('&'), QLatin1String("&amp;"))
      .replace(QLatin1Char('<'), QLatin1String("&lt;"))
      .replace(QLatin1Char('"'), QLatin1String("&quot;"));
}

inline QString item(const QString& caption, int command = 0, const QString& argument = QString(),
                    const QString& children = QString(), const QString& extra = QString()) {
  QString attrs = QStringLiteral(
                      "CAPTION=\"%1\" COMMAND=\"%2\" ARGUMENT=\"%3\" HINT=\"Подсказка %1\" SHOWHINT=\"1\" "
                      "BTNMENU=\"\" IMAGEINDEX=\"-1\" BREAK=\"0\" SHORTCUT=\"0\" MTEXT=\"0\"")
                      .arg(escaped(caption))
                      .arg(command)
                      .arg(escaped(argument));
  // extra: NAME="value" pairs that replace the defaults above
  for (const QString& pair : extra.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QString name = pair.section(QLatin1Char('='), 0, 0);
    const int at = attrs.indexOf(QLatin1Char(' ') + name + QLatin1String("=\""));
    if (at >= 0) {
      const int valueEnd = attrs.indexOf(QLatin1Char('"'), at + name.size() + 3);
      attrs.replace(at + 1, valueEnd - at, pair);
    }
  }
  if (children.isEmpty()) return QStringLiteral("<ITEM %1/>").arg(attrs);
  return QStringLiteral("<ITEM %1>%2</ITEM>").arg(attrs, children);
}

inline QString document(const QString& body) {
  return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ROOT>%1</ROOT>\n").arg(body);
}

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QString& text) {
  const QString path = dir.filePath(name);
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(text.toUtf8());
  return path;
}

// A main window with a menu bar and a toolbar, as the loader expects.
struct Form {
  QMainWindow window;
  QToolBar* toolBar;
  Form() {
    window.menuBar();
    toolBar = window.addToolBar(QStringLiteral("tbMain"));
  }
};

}  // namespace menutest
