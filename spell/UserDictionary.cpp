#include "spell/UserDictionary.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>

#include "core/TextCodec.h"

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

bool ReadUserWordList(const QString& fileName, QStringList& words) {
  words.clear();
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly)) return false;
  words = DecodeUserWordList(f.readAll());
  return true;
}

bool WriteUserWordList(const QString& fileName, const QStringList& words, QString& error) {
  QSaveFile f(fileName);
  if (!f.open(QIODevice::WriteOnly)) {
    error = f.errorString();
    return false;
  }
  const QByteArray bytes = EncodeUserWordList(words);
  if (f.write(bytes) != bytes.size() || !f.commit()) {
    error = f.errorString();
    f.cancelWriting();
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

bool ContainsSortedWord(const QStringList& list, const QString& word) {
  return std::binary_search(list.begin(), list.end(), word);
}
