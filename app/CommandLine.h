#pragma once
// The command line: the document to open, and the modes that only print
// (--help, --version, --list, --plain).  Texts are Russian.
#include <QString>
#include <QStringList>

struct TStartRequest {
  QString file;    // the document or drawing to open; empty: none
  QString handle;  // with a drawing: the text to open without the chooser
};

// arguments: the process arguments, the program first.  Does the work of a
// printing mode and returns its exit code (2 for a wrong command line, after
// the usage); returns -1 when the editor is to start with start filled in.
int RunCommandLine(const QStringList& arguments, TStartRequest& start);
