// Saving onto a full disk and into a folder or over a file that cannot be
// written, through the program's own save paths: the save fails, the user is
// told in Russian which file, the old file stays whole and the user's data
// stays in the program.
#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include "FaultKit.h"
#include "SaveTargets.h"
#include "TestMain.h"
#include "app/General.h"
#include "app/Recovery.h"
#include "app/Session.h"
#include "app/UfrmMain.h"
#include "platform/Platform.h"
#include "spell/SynEditSpell.h"

namespace {

enum TFault { fSizeLimit, fFullDisk, fImmutableFile, fImmutableFolder, fReadOnlyMount };

// One save as the user makes it.  prepare() runs before the fault (the program
// was started on a sound disk), save() under it; check() afterwards says
// whether the user's data is still in the program.
struct TUserSave {
  std::function<void()> prepare;
  std::function<bool()> save;
  std::function<bool()> dataKept;
  std::function<void()> finish;  // lets the objects go without writing again
};

}  // namespace

class TestSaveFaults : public QObject {
  Q_OBJECT
  QStringList FMessages;
  std::unique_ptr<QTemporaryDir> FDicts;  // dictionaries and the settings of the other cases
  QString FSettings;
  TSession FSession;

  // Builds the user's save of target for the file at path.
  TUserSave userSave(const QString& target, const QString& path, std::shared_ptr<void>& keep) {
    TUserSave s;
    if (target == "document") {
      auto w = std::make_shared<std::unique_ptr<TfrmMain>>();
      keep = w;
      s.prepare = [this, w, path] {
        *w = std::make_unique<TfrmMain>(FSession, QStringList{"korvex", path});
        (*w)->show();
        QApplication::processEvents();
        (*w)->editor().replaceLines(0, {QStringLiteral("правка пользователя")});
      };
      s.save = [w] { return (*w)->SaveTextChecked(); };
      s.dataKept = [w] {
        return (*w)->editor().lines().value(0) == QStringLiteral("правка пользователя") && (*w)->editor().modified();
      };
      s.finish = [w] { (*w)->editor().setModified(false); };
    } else if (target == "recovery copy") {
      auto editor = std::make_shared<TEditor>();
      auto copy = std::make_shared<TRecoveryCopy>(editor.get());
      keep = std::make_shared<std::pair<std::shared_ptr<TEditor>, std::shared_ptr<TRecoveryCopy>>>(editor, copy);
      s.prepare = [editor, copy, path] {
        copy->setCopyFile(path);
        // The copy written before, with the user's latest change at its top.
        QStringList lines;
        TTextFormat format;
        QString error;
        QVERIFY(ReadTextFile(path, lines, format, error));
        lines[0] = QStringLiteral("правка пользователя");
        editor->setLines(lines);
        editor->setTextFormat(format);
        editor->setModified(true);
      };
      s.save = [this, copy] {
        QString error;
        const bool ok = copy->writeNow(error);
        if (!ok) FMessages << error;
        return ok;
      };
      s.dataKept = [editor] {
        return editor->lines().value(0) == QStringLiteral("правка пользователя") && editor->modified();
      };
      s.finish = [editor] { editor->setModified(false); };
    } else if (target == "settings") {
      auto w = std::make_shared<std::unique_ptr<TfrmMain>>();
      keep = w;
      s.prepare = [this, w, path] {
        FSession.SettingsFile = path;
        *w = std::make_unique<TfrmMain>(FSession, QStringList{"korvex"});
        (*w)->show();
        QApplication::processEvents();
      };
      // Closing writes the settings; a failure is reported, the close goes on.
      s.save = [this, w] {
        const int before = FMessages.size();
        (*w)->close();
        return FMessages.size() == before;
      };
      s.dataKept = [] { return true; };
      s.finish = [this] { FSession.SettingsFile = FSettings; };
    } else if (target == "menu") {
      auto tree = std::make_shared<TMenuTree>();
      keep = tree;
      s.prepare = [tree, path] { *tree = ReadMenuTree(path); tree->push_back(tree->front()); };
      // What the menu editor does on saving: the message is the error's text.
      s.save = [this, tree, path] {
        try {
          SaveMenuTree(*tree, path);
          return true;
        } catch (const TMenuFileError& e) {
          FMessages << QString::fromUtf8(e.what());
          return false;
        }
      };
      s.dataKept = [] { return true; };
    } else if (target == "unit list") {
      auto units = std::make_shared<TUnitConvertor>();
      keep = units;
      s.prepare = [units, path] {
        units->LoadFromFile(path);
        units->Add(new TUnit(units.get(), QStringLiteral("вершки - сантиметры"), 4.445, QString()));
        units->setModified(true);
      };
      s.save = [units] { return units->WriteBack(); };
      s.dataKept = [units] {
        return units->Modified() && units->GetUnit(units->Count() - 1)->Caption() == QStringLiteral("вершки - сантиметры");
      };
      s.finish = [units] { units->setModified(false); };
    } else if (target == "word list") {
      auto spell = std::make_shared<std::unique_ptr<TSynEditSpellCheck>>();
      keep = spell;
      const QString folder = QFileInfo(path).path(), dicts = FDicts->path();
      s.prepare = [spell, folder, dicts] {
        *spell = std::make_unique<TSynEditSpellCheck>(nullptr, TCheckAttributes{caText});
        (*spell)->setUserDirectory(folder);
        (*spell)->LoadDictionaries(dicts);
        (*spell)->SelectDictionary(0x0409);
      };
      // Adding a word writes the list at once.
      s.save = [this, spell] {
        const int before = FMessages.size();
        (*spell)->AddDictWord(QStringLiteral("korvexfaultword"));
        return FMessages.size() == before;
      };
      s.dataKept = [spell] { return (*spell)->UserDict().contains(QStringLiteral("korvexfaultword")); };
      s.finish = [spell] { (*spell)->setModified(false); };
    }
    return s;
  }

 private slots:
  void initTestCase() {
    platform::MessageSeam seam;
    seam.ask = [](const QString&) { return QMessageBox::No; };
    seam.error = [this](const QString& t) { FMessages << t; };
    seam.message = seam.error;
    seam.beep = [] {};
    platform::setMessageSeam(seam);
    FDicts = std::make_unique<QTemporaryDir>();
    FSettings = FDicts->filePath("korvex.ini");
    FSession.SettingsFile = FSettings;
    const QString shipped = QCoreApplication::applicationDirPath() + "/Support/dict/";
    for (const char* ext : {".aff", ".dic"})
      QVERIFY(QFile::copy(shipped + "en_US" + ext, FDicts->filePath(QStringLiteral("en_US") + ext)));
  }
  void cleanupTestCase() {
    platform::setMessageSeam({});
    FSession.SettingsFile.clear();
  }

  void failedSaveKeepsEverything_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("fault");
    const std::pair<const char*, TFault> faults[] = {{"file size limit", fSizeLimit},
                                                     {"full disk", fFullDisk},
                                                     {"immutable file", fImmutableFile},
                                                     {"immutable folder", fImmutableFolder},
                                                     {"read-only mount", fReadOnlyMount}};
    for (const faults::TSaveTarget& t : faults::saveTargets())
      for (const auto& [name, fault] : faults)
        QTest::addRow("%s, %s", t.name, name) << QString::fromLatin1(t.name) << int(fault);
  }
  void failedSaveKeepsEverything() {
    QFETCH(QString, target);
    QFETCH(int, fault);
    const faults::TSaveTarget* t = faults::findTarget(target);
    QTemporaryDir base;
    const QString folder = base.filePath("data");
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<faults::TTmpfs> mount;
    if (fault == fFullDisk || fault == fReadOnlyMount) {
      mount = std::make_unique<faults::TTmpfs>(folder, "size=2m");
      if (!mount->ok()) QSKIP(qPrintable("a tmpfs cannot be mounted here (" + mount->error() + ")"));
    }
    // The file the user has: written by the program itself.
    const QString path = folder + "/" + QString::fromLatin1(
                                            target == "word list" ? "en-us.user.dic" : t->fileName);
    QVERIFY(t->write(path, 0));
    const QByteArray original = korvextest::readFile(path);

    std::shared_ptr<void> keep;
    TUserSave save = userSave(target, path, keep);
    save.prepare();
    FMessages.clear();

    bool saved = true;
    {
      std::unique_ptr<faults::TFileSizeLimit> limit;
      std::unique_ptr<faults::TImmutable> immutable;
      switch (TFault(fault)) {
        case fSizeLimit:
          limit = std::make_unique<faults::TFileSizeLimit>(256);
          QVERIFY(limit->ok());
          break;
        case fFullDisk:
          QVERIFY(faults::fillUp(folder));
          break;
        case fImmutableFile:
        case fImmutableFolder:
          immutable = std::make_unique<faults::TImmutable>(fault == fImmutableFile ? path : folder);
          if (!immutable->ok()) QSKIP(qPrintable("no immutable attribute here (" + immutable->error() + ")"));
          break;
        case fReadOnlyMount:
          QVERIFY(mount->setReadOnly(true));
          break;
      }
      saved = save.save();
      if (limit) limit->lift();
      if (mount && fault == fReadOnlyMount) mount->setReadOnly(false);
    }
    const bool kept = save.dataKept();
    if (save.finish) save.finish();
    QVERIFY2(!saved, "the save reported success");
    QCOMPARE(korvextest::readFile(path), original);
    // Told once, in Russian, naming the file.
    QVERIFY2(FMessages.size() == 1, qPrintable(FMessages.join(" | ")));
    const QString message = FMessages.first();
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    if (target == "word list" || target == "recovery copy")
      QVERIFY2(message.contains(QRegularExpression("^[А-Я]")), qPrintable(message));
    else
      QVERIFY2(message.startsWith(QStringLiteral("Ошибка при сохранении ") + QDir::toNativeSeparators(path)),
               qPrintable(message));
    QVERIFY2(kept, "the user's data is no longer in the program");
    // Nothing else is left in the folder (a temporary file of the failed write).
    QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    left.removeAll("filler");
    QCOMPARE(left, QStringList{QFileInfo(path).fileName()});
  }
};

KORVEX_TEST(TestSaveFaults)
#include "test_savefaults.moc"
