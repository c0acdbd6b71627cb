#include "app/TextTools.h"

#include "editor/Editor.h"

const QString RomanDigits[9] = {
    QStringLiteral("I"),  QStringLiteral("II"),  QStringLiteral("III"),
    QStringLiteral("IV"), QStringLiteral("V"),   QStringLiteral("VI"),
    QStringLiteral("VII"), QStringLiteral("VIII"), QStringLiteral("IX")};

namespace {

const QChar CaretMark = QLatin1Char('~');

// Rewrites every line through change as one undo step, so that the user can
// take the whole rewrite back and is asked before it is thrown away, and leaves
// the caret at the start of the text.
template <typename F>
void rewriteLines(TEditor& editor, F change) {
  editor.beginUpdate();
  QStringList lines = editor.lines();
  for (int i = 0; i < lines.size(); ++i) lines[i] = change(lines.at(i), i);
  editor.replaceLines(0, lines);
  editor.setSelStart(0);
  editor.setSelLength(0);
  editor.endUpdate();
}

}  // namespace

void InsertAtCaret(TEditor& editor, const QString& S) {
  // The mark's offset must be counted the way the editor counts, with every
  // break one character (a file inserted with CR LF would misplace the caret).
  QString text = NormalizeLineBreaks(S);
  const int mark = text.indexOf(CaretMark);
  int target = -1;
  if (mark >= 0) {
    target = editor.selStart() + mark;
    text.remove(mark, 1);
  }
  editor.setSelText(text);
  if (mark >= 0) {
    editor.setSelStart(target);
    editor.setSelLength(0);
  }
}

void DeleteFirstSymbol(TEditor& editor) {
  rewriteLines(editor, [](QString line, int) {
    if (!line.isEmpty()) {
      // A character outside the BMP is two code units; never leave half of it.
      const int n = line.size() > 1 && line.at(0).isHighSurrogate() && line.at(1).isLowSurrogate() ? 2 : 1;
      line.remove(0, n);
    }
    return line;
  });
}

void InsertLeadingSpace(TEditor& editor) {
  rewriteLines(editor, [](const QString& line, int) { return QLatin1Char(' ') + line; });
}

QString NumberedLine(const QString& line, int number, const QString& sep) {
  QString rest = line;
  if (!sep.isEmpty()) {
    const int p = line.indexOf(sep) + 1;  // 1-based, 0 when absent
    if (p > 0 && p < 5) rest = line.mid(p - 1 + sep.size());
  }
  return QString::number(number) + sep + rest;
}

void NumberParagraphs(TEditor& editor, const QString& sep) {
  rewriteLines(editor, [&sep](const QString& line, int i) { return NumberedLine(line, i + 1, sep); });
}

void ChangeCase(TEditor& editor, bool toLower) {
  if (editor.selLength() == 0) return;
  const QString text = editor.selText();
  editor.setSelText(toLower ? text.toLower() : text.toUpper());
}

QString EncloseText(const QString& selText, const QString& argument) {
  int p = argument.indexOf(CaretMark) + 1;
  if (p == 0) p = argument.size() / 2;
  return argument.left(p) + selText + argument.mid(p);
}



bool RomanKeyPress(TEditor& editor, QChar& key) {
  if (key < QLatin1Char('1') || key > QLatin1Char('9')) return false;
  InsertAtCaret(editor, RomanDigits[key.unicode() - '1']);
  key = QChar();
  return true;
}
