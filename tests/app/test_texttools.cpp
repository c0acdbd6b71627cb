// Text tools on a real editor: numbering, first-character tools, case change,
// Roman typing, the caret-mark insertion rule and the two string helpers.
#include <QSignalSpy>

#include "TestMain.h"
#include "app/TextTools.h"
#include "editor/Editor.h"

namespace {

void setText(TEditor& editor, const QStringList& lines) {
  editor.setLines(lines);
  editor.setModified(false);
}

}  // namespace

class TestTextTools : public QObject {
  Q_OBJECT

 private slots:
  void numberedLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("expected");
    const QString sep = QStringLiteral(". ");
    QTest::newRow("plain") << "abc" << 1 << sep << "1. abc";
    QTest::newRow("old number") << "7. def" << 2 << sep << "2. def";
    QTest::newRow("empty line") << "" << 3 << sep << "3. ";
    QTest::newRow("separator at 4") << "123. x" << 1 << sep << "1. x";
    QTest::newRow("separator at 5 kept") << "1234. x" << 1 << sep << "1. 1234. x";
    QTest::newRow("separator at 1") << ". x" << 4 << sep << "4. x";
    QTest::newRow("short word lost") << QStringLiteral("Рис. 5") << 1 << sep << "1. 5";
    QTest::newRow("separator late in line") << QStringLiteral("Рисунок. 5") << 1 << sep
                                            << QStringLiteral("1. Рисунок. 5");
    QTest::newRow("empty separator") << "12abc" << 3 << "" << "312abc";
    QTest::newRow("longer separator") << "9) - a" << 10 << ") - " << "10) - a";
  }
  void numberedLine() {
    QFETCH(QString, line);
    QFETCH(int, number);
    QFETCH(QString, sep);
    QFETCH(QString, expected);
    QCOMPARE(NumberedLine(line, number, sep), expected);
  }

  void numberParagraphsWholeText() {
    TEditor editor;
    setText(editor, {"abc", "7. def", ""});
    NumberParagraphs(editor, ". ");
    QCOMPARE(editor.lines(), QStringList({"1. abc", "2. def", "3. "}));
    // Renumbering after a reorder replaces the prefixes instead of adding to them.
    editor.setLines({"2. def", "1. abc", "3. "});
    NumberParagraphs(editor, ". ");
    QCOMPARE(editor.lines(), QStringList({"1. def", "2. abc", "3. "}));
    NumberParagraphs(editor, ". ");
    QCOMPARE(editor.lines(), QStringList({"1. def", "2. abc", "3. "}));
  }

  void numberParagraphsEmptyDividerKeepsAdding() {
    TEditor editor;
    setText(editor, {"a", "b"});
    NumberParagraphs(editor, QString());
    QCOMPARE(editor.lines(), QStringList({"1a", "2b"}));
    NumberParagraphs(editor, QString());
    QCOMPARE(editor.lines(), QStringList({"11a", "22b"}));
  }

  void firstCharacterTools() {
    TEditor editor;
    setText(editor, {"abc", "", "x", QStringLiteral("Жук")});
    InsertLeadingSpace(editor);
    QCOMPARE(editor.lines(), QStringList({" abc", " ", " x", QStringLiteral(" Жук")}));
    DeleteFirstSymbol(editor);
    DeleteFirstSymbol(editor);
    QCOMPARE(editor.lines(), QStringList({"bc", "", "", QStringLiteral("ук")}));
    // A character outside the BMP goes as a whole.
    setText(editor, {QString::fromUtf8("\xF0\x9F\x98\x80z")});
    DeleteFirstSymbol(editor);
    QCOMPARE(editor.lines(), QStringList({"z"}));
  }

  // A whole-text tool is one undo step that sets the modified flag, keeps the
  // edits made before it undoable, leaves the caret at the start of the text
  // and does not fire the change notification.
  void wholeTextToolKeepsEarlierUndo_data() {
    QTest::addColumn<int>("tool");
    QTest::newRow("NumberParagraphs") << 0;
    QTest::newRow("DeleteFirstSymbol") << 1;
    QTest::newRow("InsertLeadingSpace") << 2;
  }
  void wholeTextToolKeepsEarlierUndo() {
    QFETCH(int, tool);
    TEditor editor;
    setText(editor, {"first line", "second line", ""});
    QVERIFY(!editor.canUndo());
    editor.setSelStart(0);
    editor.setSelText(QStringLiteral("X"));  // the earlier edit
    const QStringList edited = editor.lines();
    editor.setModified(false);  // as if saved
    editor.setSelStart(7);
    editor.setSelLength(3);
    QSignalSpy changes(&editor, &TEditor::changed);
    if (tool == 0) NumberParagraphs(editor, ". ");
    if (tool == 1) DeleteFirstSymbol(editor);
    if (tool == 2) InsertLeadingSpace(editor);
    QVERIFY(editor.lines() != edited);
    QVERIFY(editor.modified());
    QCOMPARE(changes.count(), 0);
    QCOMPARE(editor.selStart(), 0);
    QCOMPARE(editor.selLength(), 0);
    editor.undo();
    QCOMPARE(editor.lines(), edited);
    editor.undo();
    QCOMPARE(editor.lines(), QStringList({"first line", "second line", ""}));
  }

  // One line that becomes empty is still one line, and undo brings it back.
  void deletingTheOnlyCharacter() {
    TEditor editor;
    setText(editor, {"x"});
    DeleteFirstSymbol(editor);
    QCOMPARE(editor.lines(), QStringList({""}));
    QVERIFY(editor.modified());
    editor.undo();
    QCOMPARE(editor.lines(), QStringList({"x"}));
  }

  void insertAtCaret_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::newRow("mark over a selection") << "0123456789AB" << 10 << 2 << "\\S~^;"
                                           << "0123456789\\S^;" << 12;
    QTest::newRow("only the first mark") << "q" << 1 << 0 << "a~b~c" << "qab~c" << 2;
    QTest::newRow("no mark") << "xy" << 1 << 0 << "abc" << "xabcy" << 4;
    QTest::newRow("mark at the end") << "xy" << 2 << 0 << "{\\L~" << "xy{\\L" << 5;
    QTest::newRow("mark first") << "xy" << 0 << 0 << "~ab" << "abxy" << 0;
    // Breaks count one character each, whatever form the inserted text has.
    QTest::newRow("CR LF before the mark") << "xy" << 1 << 0 << "a\r\nb\r\n~c" << "xa\nb\ncy" << 5;
    QTest::newRow("lone CR before the mark") << "xy" << 0 << 0 << "a\rb~" << "a\nbxy" << 3;
  }
  void insertAtCaret() {
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, inserted);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    TEditor editor;
    setText(editor, {text});
    editor.setSelStart(selStart);
    editor.setSelLength(selLength);
    InsertAtCaret(editor, inserted);
    QCOMPARE(editor.lines(), expected.split(QLatin1Char('\n')));
    QCOMPARE(editor.selStart(), caret);
    QCOMPARE(editor.selLength(), 0);
    // The insertion is an ordinary edit.
    QVERIFY(editor.modified());
    editor.undo();
    QCOMPARE(editor.lines(), QStringList({text}));
  }

  void romanTyping() {
    QCOMPARE(RomanDigits[0], QStringLiteral("I"));
    QCOMPARE(RomanDigits[3], QStringLiteral("IV"));
    QCOMPARE(RomanDigits[8], QStringLiteral("IX"));
    TEditor editor;
    setText(editor, {"ab-"});
    editor.setSelStart(3);
    QChar key('4');
    QVERIFY(RomanKeyPress(editor, key));
    QVERIFY(key.isNull());
    QCOMPARE(editor.lines(), QStringList({"ab-IV"}));
    editor.setSelStart(0);
    editor.setSelLength(2);
    key = QLatin1Char('9');
    QVERIFY(RomanKeyPress(editor, key));
    QCOMPARE(editor.lines(), QStringList({"IX-IV"}));
    QCOMPARE(editor.selStart(), 2);
    for (QChar other : {QChar('0'), QChar('a'), QChar(0x0416)}) {
      key = other;
      QVERIFY(!RomanKeyPress(editor, key));
      QCOMPARE(key, other);
    }
    QCOMPARE(editor.lines(), QStringList({"IX-IV"}));
  }

  void changeCase() {
    TEditor editor;
    setText(editor, {QStringLiteral("Привет, Мир! Ёлка")});
    ChangeCase(editor, true);  // nothing selected: nothing happens
    QVERIFY(!editor.modified());
    editor.setSelStart(0);
    editor.setSelLength(editor.line(0).size());
    ChangeCase(editor, false);
    QCOMPARE(editor.line(0), QStringLiteral("ПРИВЕТ, МИР! ЁЛКА"));
    editor.setSelStart(8);
    editor.setSelLength(3);
    ChangeCase(editor, true);
    QCOMPARE(editor.line(0), QStringLiteral("ПРИВЕТ, мир! ЁЛКА"));
    QVERIFY(editor.modified());
    editor.undo();
    QCOMPARE(editor.line(0), QStringLiteral("ПРИВЕТ, МИР! ЁЛКА"));
  }

  void encloseText_data() {
    QTest::addColumn<QString>("sel");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("expected");
    QTest::newRow("mark") << "abc" << "{\\L~}" << "{\\L~abc}";
    QTest::newRow("no mark, even") << "abc" << "()" << "(abc)";
    QTest::newRow("no mark, odd") << "abc" << "<|>" << "<abc|>";
    QTest::newRow("nothing selected") << "" << "{\\O~}" << "{\\O~}";
    QTest::newRow("two marks") << "x" << "~a~" << "~xa~";
    QTest::newRow("empty argument") << "x" << "" << "x";
  }
  void encloseText() {
    QFETCH(QString, sel);
    QFETCH(QString, argument);
    QFETCH(QString, expected);
    QCOMPARE(EncloseText(sel, argument), expected);
  }

  void enclosedInsertionLeavesCaretInFront() {
    TEditor editor;
    setText(editor, {"abc"});
    editor.setSelStart(0);
    editor.setSelLength(3);
    InsertAtCaret(editor, EncloseText(editor.selText(), "{\\L~}"));
    QCOMPARE(editor.line(0), QStringLiteral("{\\Labc}"));
    QCOMPARE(editor.selStart(), 3);
  }

  void applyDecimalSeparator() {
    QCOMPARE(ApplyDecimalSeparator("1,5", false), QStringLiteral("1.5"));
    QCOMPARE(ApplyDecimalSeparator("1.5", true), QStringLiteral("1,5"));
    QCOMPARE(ApplyDecimalSeparator("1.5", false), QStringLiteral("1.5"));
    QCOMPARE(ApplyDecimalSeparator("\\S+0,1^-0.2;", true), QStringLiteral("\\S+0,1^-0,2;"));
    QCOMPARE(ApplyDecimalSeparator("\\S+0,1^-0.2;", false), QStringLiteral("\\S+0.1^-0.2;"));
  }
};

KORVEX_TEST(TestTextTools)
#include "test_texttools.moc"
