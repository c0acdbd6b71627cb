#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <optional>

// The data folder relative to the executable's in an installed tree; the
// build passes the value GNUInstallDirs gives (bin -> share/korvex).
#ifndef KORVEX_BIN_TO_DATA
#define KORVEX_BIN_TO_DATA "../share/korvex"
#endif

namespace platform {
namespace {

QString withSeparator(const QString& folder) {
  return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// An XDG base folder: the variable when it holds an absolute path, else
// the default under the home folder.
QString xdgFolder(const char* variable, const QString& underHome) {
  const QString value = qEnvironmentVariable(variable);
  if (!value.isEmpty() && QDir::isAbsolutePath(value)) return withSeparator(QDir::cleanPath(value));
  return withSeparator(QDir::homePath()) + underHome;
}

std::optional<ProgramPaths>& current() {
  static std::optional<ProgramPaths> paths;
  return paths;
}

}  // namespace

ProgramPaths ResolveProgramPaths(const QString& exeFilePath) {
  const QFileInfo exe(exeFilePath);
  ProgramPaths p;
  p.ExeFolder = withSeparator(exe.absolutePath());
  const QString shared = QDir::cleanPath(p.ExeFolder + QStringLiteral(KORVEX_BIN_TO_DATA));
  p.Installed = QFileInfo(shared + QStringLiteral("/Support")).isDir();
  if (p.Installed) {
    p.DataFolder = withSeparator(shared);
    p.UserFolder = xdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share/")) + QStringLiteral("korvex/");
    p.SettingsFile = xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config/")) + QStringLiteral("korvex/korvex.ini");
    // The dictionaries belong to the system's Hunspell packages, which an
    // installed tree unpacked elsewhere does not carry.
    const QString besideData = QDir::cleanPath(shared + QStringLiteral("/../hunspell"));
    p.DictFolder = withSeparator(QFileInfo(besideData).isDir() ? besideData : QStringLiteral("/usr/share/hunspell"));
    p.UserDictFolder = p.UserFolder + QStringLiteral("dict/");
    p.RecoveryFolder = xdgFolder("XDG_STATE_HOME", QStringLiteral(".local/state/")) + QStringLiteral("korvex/recovery/");
  } else {
    p.DataFolder = p.ExeFolder;
    p.UserFolder = p.DataFolder + QStringLiteral("Support/");
    p.SettingsFile = p.ExeFolder + exe.completeBaseName() + QStringLiteral(".ini");
    p.DictFolder = p.UserFolder + QStringLiteral("dict/");
    p.UserDictFolder = p.DictFolder;
    p.RecoveryFolder = p.ExeFolder + QStringLiteral("recovery/");
  }
  p.SupportFolder = p.DataFolder + QStringLiteral("Support/");
  p.HelpFolder = p.DataFolder + QStringLiteral("Help");
  return p;
}

const ProgramPaths& programPaths() {
  // Before the application object exists the executable's path is unknown;
  // nothing is kept then, so a later call still resolves the real one.
  static ProgramPaths early;
  if (current()) return *current();
  if (!QCoreApplication::instance()) return early = ResolveProgramPaths(QString());
  current() = ResolveProgramPaths(QCoreApplication::applicationFilePath());
  return *current();
}

void setProgramPaths(const ProgramPaths& paths) { current() = paths; }

QString supportFile(const QString& name) {
  const ProgramPaths& p = programPaths();
  const QString user = p.UserFolder + name;
  if (p.UserFolder != p.SupportFolder && QFileInfo(user).isFile()) return user;
  return p.SupportFolder + name;
}

QString writeTarget(const QString& path) {
  const ProgramPaths& p = programPaths();
  const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  const QString shipped = p.SupportFolder;
  if (!p.Installed || !target.startsWith(shipped)) return path;
  return p.UserFolder + target.mid(shipped.size());
}

QString writablePath(const QString& path) {
  const QString user = writeTarget(path);
  if (user != path) QDir().mkpath(QFileInfo(user).absolutePath());
  return user;
}

}  // namespace platform
