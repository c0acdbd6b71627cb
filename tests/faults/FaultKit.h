#pragma once
// Ways to make a write fail that hold for root too (CI runs as root, whom file
// modes do not stop): a file-size limit, a small full tmpfs, the immutable
// attribute and a read-only mount.  Each undoes itself when it goes out of scope.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace faults {

inline QString lastError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Files may not grow beyond `bytes`, as on a full disk (the write fails with
// EFBIG; SIGXFSZ, which would end the process, is ignored meanwhile).
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &FOld);
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = FOld;
    small.rlim_cur = bytes;
    FOk = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~TFileSizeLimit() { lift(); }
  void lift() {
    if (FLifted) return;
    FLifted = true;
    setrlimit(RLIMIT_FSIZE, &FOld);
    std::signal(SIGXFSZ, FOldHandler);
  }
  bool ok() const { return FOk; }

 private:
  rlimit FOld{};
  void (*FOldHandler)(int) = nullptr;
  bool FOk = false, FLifted = false;
};

// A tmpfs mounted on an existing folder; ok() is false where mounting is not
// allowed (not root, or in a container without the right).
class TTmpfs {
 public:
  TTmpfs(const QString& folder, const char* options) : FFolder(QFile::encodeName(folder)) {
    FOk = ::mount("korvex-faults", FFolder.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options) == 0;
    if (!FOk) FError = lastError();
  }
  ~TTmpfs() {
    if (FOk) ::umount2(FFolder.constData(), MNT_DETACH);
  }
  bool ok() const { return FOk; }
  QString error() const { return FError; }
  bool setReadOnly(bool on) {
    const unsigned long flags = MS_REMOUNT | MS_NOSUID | MS_NODEV | (on ? MS_RDONLY : 0);
    return ::mount(nullptr, FFolder.constData(), nullptr, flags, nullptr) == 0;
  }

 private:
  QByteArray FFolder;
  bool FOk = false;
  QString FError;
};

// Fills the file system of folder until it has no room left.
inline bool fillUp(const QString& folder) {
  QFile filler(folder + QStringLiteral("/filler"));
  if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
  const QByteArray block(4096, 'x');
  for (int i = 0; i < 1 << 20; ++i)
    if (filler.write(block) != block.size()) break;
  // The last bytes a partial block may still take.
  while (filler.write("x", 1) == 1) {
  }
  return true;
}

// The immutable attribute: not even root may change, replace or (for a
// folder) add to what carries it.  False (with errno) where the file system
// has no such attribute.
inline bool setImmutable(const QString& path, bool on) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return ok;
}

class TImmutable {
 public:
  explicit TImmutable(const QString& path) : FPath(path), FOk(setImmutable(path, true)) {
    if (!FOk) FError = lastError();
  }
  ~TImmutable() {
    if (FOk) setImmutable(FPath, false);
  }
  bool ok() const { return FOk; }
  QString error() const { return FError; }

 private:
  QString FPath;
  bool FOk;
  QString FError;
};

}  // namespace faults
