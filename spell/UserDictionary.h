#pragma once
// The user word list of a language (ru.user.dic, en-us.user.dic): UTF-8
// without byte-order mark, one word per line, lines ending CR LF, sorted.
#include <QByteArray>
#include <QString>
#include <QStringList>

// A word without the blanks and control characters around it.
QString TrimWord(const QString& word);

// The words of a list as they stand in the file: each line trimmed (and
// without zero-width no-break spaces), empty lines skipped.  A byte-order mark is accepted, and a list written by hand in
// Windows-1251 (not valid UTF-8) still reads.
QStringList DecodeUserWordList(const QByteArray& bytes);
QByteArray EncodeUserWordList(const QStringList& words);

// False (and no words) when the file cannot be read.
bool ReadUserWordList(const QString& fileName, QStringList& words);
// Written through a temporary file that replaces the list only when the whole
// write succeeded; on failure the old file stays and error says why.
bool WriteUserWordList(const QString& fileName, const QStringList& words, QString& error);

// Sorted insertion into a sorted, case-sensitive list without duplicates;
// false when the word is already there.
bool InsertSortedWord(QStringList& list, const QString& word);
bool ContainsSortedWord(const QStringList& list, const QString& word);
