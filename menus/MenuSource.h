#pragma once
// Which menu definition file to build from, and what the user is told about
// one that cannot be read.
#include <QString>
#include <QStringList>

#include "menus/MenuXmlReader.h"

// The copies built into the program: the menu still comes up when every
// file on disk is broken or missing.
extern const char* const BuiltInMenuFile;
extern const char* const BuiltInMenuImagesFile;

// The definitions to try, in order: fileName (the user's), the shipped
// Support/menu.xml when it is another file, the built-in copy.
QStringList MenuFileCandidates(const QString& fileName);

struct TMenuSource {
  QString FileName;    // the first candidate that reads whole; empty when none does
  QString BrokenFile;  // the first candidate that did not, if any
  QString Error;       // why, in Russian, with file, line and column
};
// Reads each candidate through without building until one reads whole.
TMenuSource ChooseMenuSource(const QStringList& candidates);
// What the user is told when the menu came from another file than the first
// candidate; empty when nothing was broken.
QString BrokenMenuMessage(const TMenuSource& source);

// Streams the file through the handler.  False when it cannot be opened or
// is not a whole menu definition: *error is the reason (with line and column
// for a parse error), *message the Russian sentence naming the file.
bool ReadMenuFile(const QString& fileName, TMenuXmlHandler& handler, QString* error, QString* message);
// "Не удается открыть файл меню <file>: <why>".
QString MenuOpenFailedMessage(const QString& fileName, const QString& error);
