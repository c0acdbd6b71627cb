// The editor's word helpers, as the spell checker and word navigation use them.
#include <QTextBlock>
#include <QTextDocument>

#include "editor/Editor.h"

QString TEditor::wordAtRowCol(int line, int column) const {
  const QString s = this->line(line - 1);
  int start = column - 1;
  if (start < 0 || start >= s.size() || !isWordChar(s.at(start))) return QString();
  int end = start;
  while (start > 0 && isWordChar(s.at(start - 1))) --start;
  while (end < s.size() && isWordChar(s.at(end))) ++end;
  return s.mid(start, end - start);
}

QPoint TEditor::nextWordPos(const QPoint& xy) const {
  const int count = document()->blockCount();
  int lineIndex = qBound(0, xy.y() - 1, count - 1);
  QTextBlock block = document()->findBlockByNumber(lineIndex);
  QString s = block.text();
  int i = qBound(0, xy.x() - 1, int(s.size()));
  while (i < s.size() && isWordChar(s.at(i))) ++i;  // leave the current word
  while (true) {
    while (i < s.size() && !isWordChar(s.at(i))) ++i;
    if (i < s.size()) return QPoint(i + 1, block.blockNumber() + 1);
    const QTextBlock next = block.next();
    if (!next.isValid()) return QPoint(s.size() + 1, block.blockNumber() + 1);
    block = next;
    s = block.text();
    i = 0;
  }
}

QPoint TEditor::prevWordPos(const QPoint& xy) const {
  const int count = document()->blockCount();
  QTextBlock block = document()->findBlockByNumber(qBound(0, xy.y() - 1, count - 1));
  QString s = block.text();
  int i = qBound(0, xy.x() - 1, int(s.size()));
  while (true) {
    while (i > 0 && !isWordChar(s.at(i - 1))) --i;
    if (i > 0) {
      while (i > 0 && isWordChar(s.at(i - 1))) --i;
      return QPoint(i + 1, block.blockNumber() + 1);
    }
    const QTextBlock previous = block.previous();
    if (!previous.isValid()) return QPoint(1, 1);
    block = previous;
    s = block.text();
    i = s.size();
  }
}

QPoint TEditor::wordStart(const QPoint& xy) const { return wordBound(xy, false); }

QPoint TEditor::wordEnd(const QPoint& xy) const { return wordBound(xy, true); }

QPoint TEditor::wordBound(const QPoint& xy, bool end) const {
  const QString s = line(xy.y() - 1);
  int i = qBound(0, xy.x() - 1, int(s.size()));
  if (!(i < s.size() && isWordChar(s.at(i))) && !(i > 0 && isWordChar(s.at(i - 1)))) return xy;
  if (end) {
    while (i < s.size() && isWordChar(s.at(i))) ++i;
  } else {
    while (i > 0 && isWordChar(s.at(i - 1))) --i;
  }
  return QPoint(i + 1, xy.y());
}

bool TEditor::isWordChar(QChar c) { return IsWordChar(c); }
