#include "core/FileErrors.h"

#include <QFileInfo>

QString FileErrorText(QFileDevice::FileError error) {
  switch (error) {
    case QFileDevice::NoError:
      return QString();
    case QFileDevice::ReadError:
      return QStringLiteral("ошибка чтения");
    case QFileDevice::WriteError:
      return QStringLiteral("ошибка записи (возможно, диск заполнен)");
    case QFileDevice::FatalError:
      return QStringLiteral("неустранимая ошибка");
    case QFileDevice::ResourceError:
      return QStringLiteral("недостаточно места на диске или системных ресурсов");
    case QFileDevice::OpenError:
      return QStringLiteral("файл не удается открыть");
    case QFileDevice::AbortError:
      return QStringLiteral("операция прервана");
    case QFileDevice::TimeOutError:
      return QStringLiteral("истекло время ожидания");
    case QFileDevice::UnspecifiedError:
      return QStringLiteral("неизвестная ошибка");
    case QFileDevice::RemoveError:
      return QStringLiteral("файл не удается удалить");
    case QFileDevice::RenameError:
      return QStringLiteral("файл не удается заменить");
    case QFileDevice::PositionError:
      return QStringLiteral("ошибка позиционирования в файле");
    case QFileDevice::ResizeError:
      return QStringLiteral("не удается изменить размер файла");
    case QFileDevice::PermissionsError:
      return QStringLiteral("нет прав доступа");
    case QFileDevice::CopyError:
      return QStringLiteral("файл не удается скопировать");
  }
  return QStringLiteral("неизвестная ошибка");
}

QString FileErrorText(const QFileDevice& file) {
  // A missing file reads as an open error; say what the user can check.
  if (file.error() == QFileDevice::OpenError && !file.fileName().isEmpty() &&
      !QFileInfo::exists(file.fileName()))
    return QStringLiteral("файл не найден");
  return FileErrorText(file.error());
}
