#include "spell/UserDictionary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <algorithm>

#include "core/TextCodec.h"
#include "core/FileErrors.h"
#include "platform/Messages.h"

QString TrimWord(const QString& word) {
  int start = 0, end = int(word.size());
  while (start < end && word.at(start).unicode() <= 32) ++start;
  while (end > start && word.at(end - 1).unicode() <= 32) --end;
  return word.mid(start, end - start);
}

QStringList DecodeUserWordList(const QByteArray& bytes) {
  TTextFormat format;
  QStringList words;
  for (QString line : DecodeTextLines(bytes, format)) {
    // A zero-width no-break space is no part of a word; left at the start of
    // the first word it would be taken for a byte-order mark on the next read.
    line.remove(QChar(0xFEFF));
    const QString w = TrimWord(line);
    if (!w.isEmpty()) words << w;
  }
  return words;
}

QByteArray EncodeUserWordList(const QStringList& words) {
  QByteArray bytes;
  for (const QString& w : words) {
    bytes += w.toUtf8();
    bytes += "\r\n";
  }
  return bytes;
}

bool WriteUserWordList(const QString& fileName, const QStringList& words, QString& error) {
  QSaveFile f(fileName);
  if (!f.open(QIODevice::WriteOnly)) {
    error = FileErrorText(f);
    return false;
  }
  const QByteArray bytes = EncodeUserWordList(words);
  if (f.write(bytes) != bytes.size() || !f.commit()) {
    error = FileErrorText(f);
    f.cancelWriting();
    return false;
  }
  return true;
}

QStringList CheckUserWordList(const QByteArray& bytes, const QString& fileName, QString& error) {
  error.clear();
  int line = 1;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const uchar c = uchar(bytes.at(i));
    if (c == '\n') ++line;
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      error = QStringLiteral("Файл слов пользователя %1 поврежден: строка %2 содержит недопустимый символ (код %3).")
                  .arg(QDir::toNativeSeparators(fileName))
                  .arg(line)
                  .arg(c);
      break;
    }
  }
  QStringList words;
  for (const QString& w : DecodeUserWordList(bytes)) {
    bool sound = true;
    for (const QChar ch : w) sound = sound && (ch.unicode() >= 0x20 || ch == QLatin1Char('\t'));
    if (sound) words << w;
  }
  return words;
}

bool MergeUserWordList(const QString& fileName, const QStringList& words, QStringList& merged, QString& error) {
  error.clear();
  const QString shown = QDir::toNativeSeparators(fileName);
  QLockFile lock(fileName + QStringLiteral(".lock"));
  // Another window holds the lock only for the moment of one write; a lock
  // left by a process that died is taken over by QLockFile.
  if (!lock.tryLock(5000)) {
    error = lock.error() == QLockFile::LockFailedError
                ? QStringLiteral("Файл слов пользователя %1 занят другой программой.").arg(shown)
                : QStringLiteral("Не удается заблокировать файл слов пользователя %1.").arg(shown);
    return false;
  }
  QByteArray before;
  QFile f(fileName);
  if (f.exists()) {
    if (!f.open(QIODevice::ReadOnly)) {
      error = QStringLiteral("Не удается прочитать файл слов пользователя %1: %2").arg(shown, FileErrorText(f));
      return false;
    }
    before = f.readAll();
    f.close();
  }
  QString broken;
  merged = CheckUserWordList(before, fileName, broken);
  std::sort(merged.begin(), merged.end());
  merged.erase(std::unique(merged.begin(), merged.end()), merged.end());
  for (const QString& w : words) InsertSortedWord(merged, w);
  if (!broken.isEmpty()) {
    error = broken;
    return false;
  }
  const QByteArray after = EncodeUserWordList(merged);
  if (after == before) return true;
  QString why;
  if (!WriteUserWordList(fileName, merged, why)) {
    error = QStringLiteral("Ошибка при сохранении %1: %2").arg(shown, why);
    return false;
  }
  return true;
}

bool InsertSortedWord(QStringList& list, const QString& word) {
  const auto at = std::lower_bound(list.begin(), list.end(), word);
  if (at != list.end() && *at == word) return false;
  list.insert(at, word);
  return true;
}
