// The menu definition as data: the two reading rule sets, the writer and the
// atomic save.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "MenuTestUtil.h"
#include "TestMain.h"
#include "menus/MenuModel.h"

namespace {
QString shippedMenu() { return QStringLiteral(KORVEX_SOURCE_DIR "/Support/menu.xml"); }

TMenuTree read(const QString& xml) {
  TMenuTree tree;
  QString error;
  if (!ReadMenuTree(xml.toUtf8(), tree, &error)) qWarning() << error;
  return tree;
}

// The first ITEM of a document, read by the given rules.
bool readItem(const QString& itemXml, TMenuReadRules rules, TMenuItemProps& props) {
  QXmlStreamReader r(itemXml);
  while (!r.atEnd())
    if (r.readNext() == QXmlStreamReader::StartElement && r.name() == QLatin1String("ITEM"))
      return ReadMenuItemProps(r.attributes(), rules, props);
  return false;
}

int countItems(const TMenuTree& tree) {
  int n = 0;
  for (const TMenuNode& node : tree) n += (MenuSectionOf(node.Props.Caption) == meOther) + countItems(node.Children);
  return n;
}
}  // namespace

class TestMenuModel : public QObject {
  Q_OBJECT
 private slots:
  void shippedMenuRoundTrips() {
    const TMenuTree tree = ReadMenuTree(shippedMenu());
    QCOMPARE(int(tree.size()), 3);
    QCOMPARE(tree[0].Props.Caption, QStringLiteral("MAINMENU"));
    QCOMPARE(tree[1].Props.Caption, QStringLiteral("POPUPMENU"));
    QCOMPARE(tree[2].Props.Caption, QStringLiteral("TOOLBAR"));
    QCOMPARE(tree[0].Children[0].Props.Caption, QStringLiteral("&Файл"));

    const QByteArray written = WriteMenuTree(tree);
    TMenuTree again;
    QVERIFY(ReadMenuTree(written, again, nullptr));
    QVERIFY(again == tree);
    // The shipped file is itself in the writer's form.
    QFile f(shippedMenu());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(written).trimmed(), QString::fromUtf8(f.readAll()).trimmed());
  }

  void writerForm() {
    TMenuNode section;
    section.Props.Caption = QStringLiteral("MAINMENU");
    TMenuNode item;
    item.Props.Caption = QStringLiteral("A&B \"q\" <x>");
    item.Props.Command = cmdInsertString;
    item.Props.Argument = QStringLiteral("%%d~");
    item.Props.Hint = QStringLiteral("two\nlines\tand tab");
    item.Props.ImageIndex = -1;
    item.Props.ShortCut = 16452;
    item.Props.AsMText = true;
    section.Children.push_back(item);
    const QString text = QString::fromUtf8(WriteMenuTree({section}));
    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines[0], QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    QCOMPARE(lines[1], QStringLiteral("<ROOT>"));
    QCOMPARE(lines[2], QStringLiteral("  <MAINMENU>"));
    QVERIFY(lines[3].startsWith(QStringLiteral("    <ITEM CAPTION=")));
    // The ten names in their fixed order.
    const QRegularExpression names(QStringLiteral(" ([A-Z]+)=\""));
    QStringList found;
    for (auto it = names.globalMatch(lines[3]); it.hasNext();) found << it.next().captured(1);
    QCOMPARE(found, (QStringList{"CAPTION", "COMMAND", "ARGUMENT", "HINT", "SHOWHINT", "BTNMENU", "IMAGEINDEX",
                                 "BREAK", "SHORTCUT", "MTEXT"}));
    QVERIFY(lines[3].contains(QStringLiteral("COMMAND=\"27\"")));
    QVERIFY(lines[3].contains(QStringLiteral("IMAGEINDEX=\"-1\"")));
    QVERIFY(lines[3].contains(QStringLiteral("SHORTCUT=\"16452\" MTEXT=\"1\"")));
    // Line breaks and tabs inside a value come back as they were.
    QCOMPARE(read(text)[0].Children[0].Props, item.Props);
  }

  void unwritableCharactersAreDropped() {
    TMenuNode section;
    section.Props.Caption = QStringLiteral("TOOLBAR");
    TMenuNode item;
    item.Props.Caption = QStringLiteral("a") + QChar(0x01) + QStringLiteral("b") + QChar(0xD800);
    section.Children.push_back(item);
    TMenuTree back;
    QString error;
    QVERIFY2(ReadMenuTree(WriteMenuTree({section}), back, &error), qPrintable(error));
    QCOMPARE(back[0].Children[0].Props.Caption, QStringLiteral("ab"));
  }

  void theTwoRuleSets() {
    using menutest::item;
    TMenuItemProps p;
    // Empty or non-numeric IMAGEINDEX: icon 0 for the editor, no icon for the loader.
    for (const QString& value : {QString(), QStringLiteral("x")}) {
      const QString xml = item(QStringLiteral("A"), 3, QString(), QString(), QStringLiteral("IMAGEINDEX=\"%1\"").arg(value));
      QVERIFY(readItem(xml, mrEditor, p));
      QCOMPARE(p.ImageIndex, 0);
      QVERIFY(readItem(xml, mrLoader, p));
      QCOMPARE(p.ImageIndex, -1);
      QCOMPARE(p.Command, cmdFileSave);
    }
    // Nine attributes: the loader creates nothing, the editor fills in empties.
    const QString nine = QStringLiteral("<ITEM CAPTION=\"B\" COMMAND=\"2\" ARGUMENT=\"x\" HINT=\"h\" SHOWHINT=\"1\" "
                                        "BTNMENU=\"\" BREAK=\"1\" SHORTCUT=\"abc\" MTEXT=\"1\"/>");
    p.Caption = QStringLiteral("untouched");
    QVERIFY(!readItem(nine, mrLoader, p));
    QCOMPARE(p.Caption, QStringLiteral("untouched"));
    QVERIFY(readItem(nine, mrEditor, p));
    QCOMPARE(p.Caption, QStringLiteral("B"));
    QCOMPARE(p.ImageIndex, 0);
    QCOMPARE(p.ShortCut, quint16(0));
    QVERIFY(p.Break && p.AsMText && p.ShowHint);
    // Eleven: the loader refuses even with all ten names present.
    const QString eleven = item(QStringLiteral("C")).replace(QStringLiteral("<ITEM "), QStringLiteral("<ITEM X=\"1\" "));
    QVERIFY(!readItem(eleven, mrLoader, p));
    QVERIFY(readItem(eleven, mrEditor, p));
    // Out-of-range numbers.
    QVERIFY(readItem(item(QStringLiteral("D"), 99, QString(), QString(), QStringLiteral("SHORTCUT=\"70000\"")),
                     mrLoader, p));
    QCOMPARE(p.Command, cmdNone);
    QCOMPARE(p.ShortCut, quint16(0));
  }

  void treeShape() {
    using menutest::item;
    // Other elements are transparent; an ITEM outside a section stays at the
    // root; a section element anywhere starts a root-level node.
    const TMenuTree tree = read(menutest::document(
        QStringLiteral("<MAINMENU><GROUP>%1</GROUP></MAINMENU>%2<TOOLBAR>%3</TOOLBAR>")
            .arg(item(QStringLiteral("A"), 0, QString(), item(QStringLiteral("A1"))), item(QStringLiteral("Loose")),
                 item(QStringLiteral("T"), 0, QString(), QStringLiteral("<POPUPMENU/>")))));
    QCOMPARE(int(tree.size()), 4);
    QCOMPARE(tree[0].Children[0].Props.Caption, QStringLiteral("A"));
    QCOMPARE(tree[0].Children[0].Children[0].Props.Caption, QStringLiteral("A1"));
    QCOMPARE(tree[1].Props.Caption, QStringLiteral("Loose"));
    QCOMPARE(tree[2].Props.Caption, QStringLiteral("TOOLBAR"));
    QCOMPARE(tree[3].Props.Caption, QStringLiteral("POPUPMENU"));
    QCOMPARE(countItems(tree), 4);
  }

  void badFilesAreRefused() {
    TMenuTree tree;
    QString error;
    QVERIFY(!ReadMenuTree(QByteArray("<ROOT><MAINMENU></ROOT>"), tree, &error));
    QVERIFY(error.contains(QStringLiteral("строка 1")));
    QVERIFY(!ReadMenuTree(QByteArray(), tree, &error));
    QByteArray deep = "<ROOT><MAINMENU>";
    for (int i = 0; i < MaxMenuDepth; ++i) deep += "<ITEM>";
    QVERIFY(!ReadMenuTree(deep, tree, &error));
    QVERIFY(error.contains(QString::number(MaxMenuDepth)));

    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("нет.xml"));
    try {
      ReadMenuTree(missing);
      QFAIL("no error");
    } catch (const TMenuFileError& e) {
      QVERIFY(QString::fromUtf8(e.what()).contains(missing));
    }
  }

  void saveIsAtomic() {
    QTemporaryDir dir;
    const TMenuTree tree = ReadMenuTree(shippedMenu());
    const QString path = dir.filePath(QStringLiteral("menu.xml"));
    SaveMenuTree(tree, path);
    QCOMPARE(ReadMenuTree(path), tree);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("menu.xml")});

    // A target that cannot be replaced: the message names it and nothing is left behind.
    const QString blocked = dir.filePath(QStringLiteral("sub"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString inMissingFolder = dir.filePath(QStringLiteral("none/menu.xml"));
    for (const QString& target : {blocked, inMissingFolder}) {
      try {
        SaveMenuTree(tree, target);
        QFAIL("saved");
      } catch (const TMenuFileError& e) {
        QVERIFY(QString::fromUtf8(e.what()).startsWith(QStringLiteral("Ошибка при сохранении ") + target));
      }
    }
    QVERIFY(QFileInfo(blocked).isDir());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("menu.xml")});
  }
};

KORVEX_TEST(TestMenuModel)
#include "test_menumodel.moc"
