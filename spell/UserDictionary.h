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

// A list the program must not write over: bytes no text file holds (NUL and
// other control characters, as left by a crash or a stray binary copy).  The
// words of the sound lines are still read.  error names the file and the line
// in Russian; empty when the list is sound.
QStringList CheckUserWordList(const QByteArray& bytes, const QString& fileName, QString& error);

// What is on disk and the words given, merged and written back under a lock
// (QLockFile fileName + ".lock"), so that two windows adding words at the same
// time both keep theirs.  merged gets the union, sorted.  Nothing is written
// when the file already holds every word, or when it is broken (error then
// says so).  False with a Russian reason in error on failure.
bool MergeUserWordList(const QString& fileName, const QStringList& words, QStringList& merged, QString& error);
// Written through a temporary file that replaces the list only when the whole
// write succeeded; on failure the old file stays and error says why.
bool WriteUserWordList(const QString& fileName, const QStringList& words, QString& error);

// Sorted insertion into a sorted, case-sensitive list without duplicates;
// false when the word is already there.
bool InsertSortedWord(QStringList& list, const QString& word);
