// Korvex installed for all users: the shipped data under share/korvex stay
// as shipped, and what the user changes (settings, menus, unit list, word
// list) lands in the XDG folders and is read from there.
#include <QDirIterator>
#include <QMap>
#include <QMenuBar>
#include <QToolBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "MainWindowTestBed.h"
#include "TestMain.h"
#include "app/Commands.h"
#include "app/General.h"
#include "menus/MenuModel.h"
#include "menus/UfrmMenuEdit.h"
#include "platform/Paths.h"
#include "spell/SpellMenu.h"
#include "tools/Conversion.h"

namespace {

QMap<QString, QByteArray> filesUnder(const QString& folder) {
  QMap<QString, QByteArray> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile f(it.next());
    files.insert(f.fileName(), f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("unreadable"));
  }
  return files;
}

bool copyTree(const QString& from, const QString& to) {
  QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString source = it.next();
    const QString target = to + source.mid(from.size());
    if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(source, target)) return false;
  }
  return true;
}

}  // namespace

class TestInstalled : public QObject {
  Q_OBJECT
  TMainWindowTestBed FBed;
  TOptions& Options = FBed.FSession.Options;
  platform::ProgramPaths FSaved;
  QMap<QString, QByteArray> FShipped;
  QString at(const QString& rel) const { return FBed.FDir.filePath(rel); }

 private slots:
  void initTestCase() {
    FBed.start();
    FSaved = platform::programPaths();
    QVERIFY(copyTree(KORVEX_SOURCE_DIR "/Support", at("usr/share/korvex/Support")));
    QVERIFY(copyTree(KORVEX_SOURCE_DIR "/Help", at("usr/share/korvex/Help")));
    qputenv("XDG_CONFIG_HOME", at("config").toUtf8());
    qputenv("XDG_DATA_HOME", at("data").toUtf8());
    platform::setProgramPaths(platform::ResolveProgramPaths(at("usr/bin/korvex")));
    QVERIFY(platform::programPaths().Installed);
    FBed.FSession.SettingsFile.clear();
    FShipped = filesUnder(at("usr"));
  }
  void cleanupTestCase() {
    // Nothing of the run was written under the installation.
    QCOMPARE(filesUnder(at("usr")), FShipped);
    platform::setProgramPaths(FSaved);
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    FBed.stop();
  }

  void settingsRoundTripInTheUsersFolder() {
    QCOMPARE(FBed.FSession.settingsFileName(), at("config/korvex/korvex.ini"));
    const TOptions before = Options;
    Options.TolHeight = 0.75;
    Options.EscForExit = false;
    QWidget window;
    QVERIFY(SaveSettings(&window, FBed.FSession.settingsFileName(), Options));
    Options = before;
    LoadSettings(&window, FBed.FSession.settingsFileName(), Options);
    QCOMPARE(Options.TolHeight, 0.75);
    QVERIFY(!Options.EscForExit);
    Options = before;
    QVERIFY(QFile::remove(FBed.FSession.settingsFileName()));
  }

  void menuAndUnitListChangesMakeTheUsersCopies() {
    auto w = FBed.openWith("Текст\r\n");
    QVERIFY(w);
    const QString shippedMenu = at("usr/share/korvex/Support/menu.xml");
    QCOMPARE(FBed.FSession.Paths.MenuFileName, shippedMenu);
    // The menu editor moves the first item of the main menu down and saves.
    platform::ScopedDialogScript script({[](QDialog* dlg) {
                                           if (auto* box = qobject_cast<QMessageBox*>(dlg)) {
                                             box->button(QMessageBox::Yes)->click();
                                           } else if (auto* d = qobject_cast<TfrmMenuEdit*>(dlg)) {
                                             (void)QTest::qWaitFor([d] { return d->tvElements->hasFocus(); });
                                             d->tvElements->setCurrentItem(d->tvElements->topLevelItem(0)->child(0));
                                             QTest::keyClick(d->tvElements, Qt::Key_Down, Qt::ControlModifier);
                                           }
                                           return int(QDialog::Rejected);
                                         },
                                         {}});
    w->RunCommand(cmdToolsEditMenus, QString());
    const QString userMenu = at("data/korvex/menu.xml");
    QCOMPARE(FBed.FSession.Paths.MenuFileName, userMenu);
    const TMenuTree shipped = ReadMenuTree(shippedMenu), user = ReadMenuTree(userMenu);
    QCOMPARE(user[0].Children[1].Props.Caption, shipped[0].Children[0].Props.Caption);

    // The unit list as the conversion command reads and writes it back.
    {
      TUnitConvertor units;
      QVERIFY(units.LoadFromFile(platform::supportFile("unit_conv.xml")));
      units.GetUnit(0)->setCaption(QStringLiteral("Вершок"));
      QVERIFY(units.WriteBack());
      QCOMPARE(units.FileName(), at("data/korvex/unit_conv.xml"));
      QCOMPARE(platform::supportFile("unit_conv.xml"), units.FileName());
    }
    TUnitConvertor reread;
    QVERIFY(reread.LoadFromFile(platform::supportFile("unit_conv.xml")));
    QCOMPARE(reread.GetUnit(0)->Caption(), QStringLiteral("Вершок"));
    reread.setModified(false);
    QVERIFY2(FBed.FMessages.isEmpty(), qPrintable(FBed.FMessages.join('\n')));
  }

  void wordAddedGoesToTheUsersList() {
    auto w = FBed.openWith("Корвексия\r\n");
    QVERIFY(w && w->spelling());
    TSynEditSpellCheck* spell = w->spelling()->FSpellCheck;
    // The system's dictionaries are offered.
    QVERIFY(spell->SelectDictionary(QStringLiteral("ru")));
    QVERIFY(!spell->CheckWord(QStringLiteral("Корвексия")));
    spell->AddDictWord(QStringLiteral("Корвексия"));
    w.reset();
    QFile list(at("data/korvex/dict/ru.user.dic"));
    QVERIFY(list.open(QIODevice::ReadOnly));
    QCOMPARE(list.readAll(), QStringLiteral("Корвексия\r\n").toUtf8());
  }

  // A user's menu cut short (a crash while it was written): the program used
  // to start with "SAX Parsing failed", no Сервис menu, no toolbar and no
  // context menu, so the editor that could mend it was out of reach.
  void brokenMenuRunsOnTheShippedOne() {
    const QString userMenu = at("data/korvex/menu.xml");
    QVERIFY(QDir().mkpath(at("data/korvex")));
    QFile shipped(at("usr/share/korvex/Support/menu.xml"));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    const QByteArray broken = shipped.readAll().left(3000);
    QFile::remove(userMenu);
    QVERIFY(korvextest::writeFile(userMenu, broken));
    // The icon strip too: a broken one used to leave no menu at all.
    const QString userIcons = at("data/korvex/menu.bmp");
    QVERIFY(korvextest::writeFile(userIcons, "BM not a bitmap"));
    FBed.FMessages.clear();
    auto w = FBed.openWith("Текст\r\n");
    QVERIFY(w);
    QVERIFY(QFile::remove(userIcons));
    QCOMPARE(FBed.FMessages.size(), 2);
    QVERIFY(FBed.FMessages.takeFirst().contains(QDir::toNativeSeparators(userIcons)));
    QVERIFY(w->imageList()->count() > 20);
    const QString message = FBed.FMessages.first();
    QVERIFY2(message.startsWith("Ошибка в файле меню " + QDir::toNativeSeparators(userMenu) + ": строка "),
             qPrintable(message));
    QVERIFY2(message.contains(", позиция "), qPrintable(message));
    QStringList bar;
    for (QAction* a : w->menuBar()->actions()) bar << a->text().remove('&');
    QVERIFY2(bar.contains("Сервис") && bar.contains("Справка"), qPrintable(bar.join(',')));
    QVERIFY(w->toolBar()->actions().size() > 10);
    QVERIFY(w->editorPopup() && !w->editorPopup()->actions().isEmpty());

    // The menu editor offers the shipped menu in its place; "Нет" keeps the
    // broken file as it is, "Да" writes the menu over it.
    QString answer = "no";
    QStringList questions;
    platform::ScopedDialogScript script({[&](QDialog* dlg) {
                                           if (auto* box = qobject_cast<QMessageBox*>(dlg)) {
                                             questions << box->text();
                                             box->button(answer == "yes" ? QMessageBox::Yes : QMessageBox::No)->click();
                                           }
                                           return int(QDialog::Rejected);
                                         },
                                         {}});
    w->RunCommand(cmdToolsEditMenus, QString());
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions.first().contains(QDir::toNativeSeparators(userMenu)));
    QCOMPARE(korvextest::readFile(userMenu), broken);
    answer = "yes";
    w->RunCommand(cmdToolsEditMenus, QString());
    QCOMPARE(ReadMenuTree(userMenu).size(), ReadMenuTree(shipped.fileName()).size());
    // The rebuild reads the mended menu without a word; only the icon strip,
    // gone since, is reported again.
    QCOMPARE(FBed.FMessages.size(), 2);
    QVERIFY(FBed.FMessages.last().contains(QDir::toNativeSeparators(userIcons)));
    QFile::remove(userMenu);
    FBed.FSession.Paths.MenuFileName = platform::supportFile(QStringLiteral("menu.xml"));
  }
};

KORVEX_TEST(TestInstalled)
#include "test_installed.moc"
