// The path rule: a folder holding Support/ beside the executable is portable,
// a <prefix>/bin executable with <prefix>/share/korvex is installed and keeps
// the user's files in the XDG folders.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestMain.h"
#include "platform/Paths.h"

namespace {

bool touch(const QString& path, const QByteArray& bytes = "shipped") {
  return QDir().mkpath(QFileInfo(path).absolutePath()) && korvextest::writeFile(path, bytes);
}

// Sets or unsets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QString& value) : FName(name), FOld(qgetenv(name)), FHad(qEnvironmentVariableIsSet(name)) {
    if (value.isNull()) qunsetenv(name);
    else qputenv(name, value.toUtf8());
  }
  ~ScopedEnv() {
    if (FHad) qputenv(FName, FOld);
    else qunsetenv(FName);
  }

 private:
  const char* FName;
  QByteArray FOld;
  bool FHad;
};

}  // namespace

class TestPaths : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  QString at(const QString& rel) const { return FDir.filePath(rel); }

 private slots:
  void portableKeepsEverythingBesideTheExecutable() {
    QDir().mkpath(at("build/Support"));
    ScopedEnv config("XDG_CONFIG_HOME", at("cfg"));
    const platform::ProgramPaths p = platform::ResolveProgramPaths(at("build/korvex"));
    QVERIFY(!p.Installed);
    QCOMPARE(p.SettingsFile, at("build/korvex.ini"));
    QCOMPARE(p.SupportFolder, at("build/Support/"));
    QCOMPARE(p.UserFolder, p.SupportFolder);
    QCOMPARE(p.DictFolder, at("build/Support/dict/"));
    QCOMPARE(p.UserDictFolder, p.DictFolder);
    QCOMPARE(p.HelpFolder, at("build/Help"));
    QCOMPARE(p.RecoveryFolder, at("build/recovery/"));
    // A prefix without share/korvex/Support is no installed tree.
    QDir().mkpath(at("pre/bin"));
    QDir().mkpath(at("pre/share/korvex"));
    QVERIFY(!platform::ResolveProgramPaths(at("pre/bin/korvex")).Installed);
  }

  void installedUsesTheXdgFolders() {
    QDir().mkpath(at("usr/share/korvex/Support"));
    {
      ScopedEnv config("XDG_CONFIG_HOME", at("cfg"));
      ScopedEnv data("XDG_DATA_HOME", at("data") + "/");
      ScopedEnv state("XDG_STATE_HOME", at("state"));
      const platform::ProgramPaths p = platform::ResolveProgramPaths(at("usr/bin/korvex"));
      QVERIFY(p.Installed);
      QCOMPARE(p.SupportFolder, at("usr/share/korvex/Support/"));
      QCOMPARE(p.HelpFolder, at("usr/share/korvex/Help"));
      QCOMPARE(p.SettingsFile, at("cfg/korvex/korvex.ini"));
      QCOMPARE(p.UserFolder, at("data/korvex/"));
      QCOMPARE(p.UserDictFolder, at("data/korvex/dict/"));
      QCOMPARE(p.RecoveryFolder, at("state/korvex/recovery/"));
      // No Hunspell folder in this tree: the system's.
      QCOMPARE(p.DictFolder, QStringLiteral("/usr/share/hunspell/"));
      QDir().mkpath(at("usr/share/hunspell"));
      QCOMPARE(platform::ResolveProgramPaths(at("usr/bin/korvex")).DictFolder, at("usr/share/hunspell/"));
    }
    // Unset, empty or relative variables: the defaults under the home folder.
    ScopedEnv home("HOME", at("home"));
    ScopedEnv config("XDG_CONFIG_HOME", QString());
    ScopedEnv data("XDG_DATA_HOME", "relative/data");
    ScopedEnv state("XDG_STATE_HOME", QString());
    const platform::ProgramPaths p = platform::ResolveProgramPaths(at("usr/bin/korvex"));
    QCOMPARE(p.SettingsFile, at("home/.config/korvex/korvex.ini"));
    QCOMPARE(p.UserFolder, at("home/.local/share/korvex/"));
    QCOMPARE(p.RecoveryFolder, at("home/.local/state/korvex/recovery/"));
  }

  void writesGoToTheUsersCopyAndReadsPreferIt() {
    const platform::ProgramPaths saved = platform::programPaths();
    QVERIFY(touch(at("inst/usr/share/korvex/Support/menu.xml")));
    ScopedEnv data("XDG_DATA_HOME", at("inst/data"));
    platform::setProgramPaths(platform::ResolveProgramPaths(at("inst/usr/bin/korvex")));
    const QString shipped = at("inst/usr/share/korvex/Support/menu.xml");
    const QString user = at("inst/data/korvex/menu.xml");
    QCOMPARE(platform::supportFile("menu.xml"), shipped);
    QCOMPARE(platform::writablePath(shipped), user);
    QVERIFY(QFileInfo(at("inst/data/korvex")).isDir());
    QCOMPARE(platform::writablePath(at("inst/elsewhere/x.txt")), at("inst/elsewhere/x.txt"));
    QVERIFY(!QFileInfo::exists(at("inst/elsewhere")));  // a write there fails as it would have
    QVERIFY(touch(user, "user"));
    QCOMPARE(platform::supportFile("menu.xml"), user);
    QCOMPARE(korvextest::readFile(shipped), QByteArray("shipped"));

    // Portable: the shipped file is the user's and is written in place.
    QDir().mkpath(at("port/Support"));
    platform::setProgramPaths(platform::ResolveProgramPaths(at("port/korvex")));
    QCOMPARE(platform::supportFile("menu.xml"), at("port/Support/menu.xml"));
    QCOMPARE(platform::writablePath(at("port/Support/menu.xml")), at("port/Support/menu.xml"));
    platform::setProgramPaths(saved);
  }
};

KORVEX_TEST(TestPaths)
#include "test_paths.moc"
