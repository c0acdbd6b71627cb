#include "app/FileStamp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray contentHash(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(&f);
  return hash.result();
}

TFileStamp metadata(const QString& path) {
  TFileStamp s;
  const QFileInfo info(path);
  s.exists = info.isFile();
  if (!s.exists) return s;
  s.size = info.size();
  s.modified = info.lastModified();
  return s;
}

}  // namespace

TFileStamp TFileStamp::of(const QString& path) {
  TFileStamp s = metadata(path);
  if (s.exists) s.hash = contentHash(path);
  return s;
}

bool TFileStamp::changedOnDisk(const QString& path) const {
  if (!exists) return false;
  const TFileStamp now = metadata(path);
  if (!now.exists || now.size != size || now.modified != modified) return true;
  return contentHash(path) != hash;
}
