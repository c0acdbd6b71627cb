#include "platform/Messages.h"

#include <QXmlStreamReader>

namespace platform {

QString xmlErrorText(const QXmlStreamReader& reader) {
  QString what;
  switch (reader.error()) {
    case QXmlStreamReader::NoError:
      return QString();
    case QXmlStreamReader::CustomError:
      what = reader.errorString();
      break;
    case QXmlStreamReader::PrematureEndOfDocumentError:
      what = QStringLiteral("файл обрывается, не дойдя до конца разметки (возможно, он записан не полностью)");
      break;
    case QXmlStreamReader::UnexpectedElementError:
      what = QStringLiteral("неожиданный элемент");
      break;
    case QXmlStreamReader::NotWellFormedError:
      what = QStringLiteral("нарушена разметка XML");
      break;
  }
  return QStringLiteral("строка %1, позиция %2: %3").arg(reader.lineNumber()).arg(reader.columnNumber()).arg(what);
}

}  // namespace platform
