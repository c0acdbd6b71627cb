#pragma once
// What the program knew of the document file when it last read or wrote it,
// to tell whether another program has changed or removed it since.
#include <QByteArray>
#include <QDateTime>
#include <QString>

struct TFileStamp {
  bool exists = false;
  qint64 size = 0;
  QDateTime modified;
  QByteArray hash;  // of the content

  // The file as it is now; exists is false when it is no file (removed).
  static TFileStamp of(const QString& path);
  // Whether the file at path is no longer what this stamp saw.  A stamp of
  // nothing (no file read yet) never differs.  The content is compared only
  // when size and time agree: a rewrite within one tick of the clock.
  bool changedOnDisk(const QString& path) const;
};
