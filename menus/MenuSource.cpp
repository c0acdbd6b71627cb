#include "menus/MenuSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/FileErrors.h"
#include "platform/Paths.h"


const char* const BuiltInMenuFile = ":/korvex/menu.xml";
const char* const BuiltInMenuImagesFile = ":/korvex/menu.bmp";

QStringList MenuFileCandidates(const QString& fileName) {
  QStringList candidates{fileName};
  const QString shipped = platform::programPaths().SupportFolder + QStringLiteral("menu.xml");
  if (QFileInfo(shipped).absoluteFilePath() != QFileInfo(fileName).absoluteFilePath()) candidates << shipped;
  candidates << QString::fromLatin1(BuiltInMenuFile);
  return candidates;
}

namespace {
// Reads the whole file without building anything.
class TNoBuild : public TMenuXmlHandler {
 public:
  void startElement(TMenuElement, QStringView, const QXmlStreamAttributes&) override {}
  void endElement(TMenuElement, QStringView) override {}
};
}  // namespace

TMenuSource ChooseMenuSource(const QStringList& candidates) {
  TMenuSource source;
  for (const QString& name : candidates) {
    TNoBuild check;
    QString error, message;
    if (ReadMenuFile(name, check, &error, &message)) {
      source.FileName = name;
      return source;
    }
    if (source.BrokenFile.isEmpty()) {
      source.BrokenFile = name;
      source.Error = message;
    }
  }
  return source;
}

QString BrokenMenuMessage(const TMenuSource& source) {
  if (source.BrokenFile.isEmpty()) return QString();
  QString text = source.Error;
  if (source.FileName.isEmpty()) return text;
  text += QStringLiteral("\n\nМеню, панель инструментов и контекстное меню построены по меню, поставляемому с "
                         "программой. Файл %1 оставлен как есть; исправить его можно в редакторе меню "
                         "(Сервис › Настройка интерфейса...), который спросит перед записью.")
              .arg(QDir::toNativeSeparators(source.BrokenFile));
  return text;
}


bool ReadMenuFile(const QString& fileName, TMenuXmlHandler& handler, QString* error, QString* message) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = FileErrorText(file);
    *message = MenuOpenFailedMessage(fileName, *error);
    return false;
  }
  if (ParseMenuXml(file, handler, error)) return true;
  *message = MenuParseFailedMessage(fileName, *error);
  return false;
}

QString MenuOpenFailedMessage(const QString& fileName, const QString& error) {
  return QStringLiteral("Не удается открыть файл меню %1: %2").arg(QDir::toNativeSeparators(fileName), error);
}
