#include "editor/Editor.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

TEditorPlugin::~TEditorPlugin() {
  if (FPluginEditor) FPluginEditor->removePlugin(this);
}

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

int leadingBlanks(const QString& s) {
  int i = 0;
  while (i < s.size() && isBlank(s.at(i))) ++i;
  return i;
}

int endOfNonBlank(const QString& s) {
  int i = s.size();
  while (i > 0 && isBlank(s.at(i - 1))) --i;
  return i;
}

}  // namespace

// Marks edits made while it lives as the user's own typing.
class TEditor::TUserEdit {
 public:
  explicit TUserEdit(TEditor* e) : FEditor(e) { ++FEditor->FUserEditDepth; }
  ~TUserEdit() { --FEditor->FUserEditDepth; }

 private:
  TEditor* FEditor;
};

TEditor::TEditor(QWidget* parent) : QPlainTextEdit(parent) {
  setTabChangesFocus(false);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setTabStopDistance(FTabWidth * QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')));
  document()->setUndoRedoEnabled(true);
  connect(document(), &QTextDocument::contentsChange, this, &TEditor::onContentsChange);
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TEditor::onCursorMoved);
  connect(this, &QPlainTextEdit::selectionChanged, this, [this] { emit statusChanged(scSelection); });
  connect(document(), &QTextDocument::modificationChanged, this, [this] { emit statusChanged(scModified); });
}

TEditor::~TEditor() {
  // Plug-ins outlive an editor only as unregistered objects.
  for (TEditorPlugin* p : FPlugins) p->FPluginEditor = nullptr;
  FPlugins.clear();
}

// ---------------------------------------------------------------- direct edits

void TEditor::beginDirect() {
  if (FDirectDepth++ == 0) {
    FDirectModified = document()->isModified();
    // Undo steps recorded before cannot be replayed over text changed behind
    // the history's back, so the history goes.
    document()->setUndoRedoEnabled(false);
    FHasEditedLine = false;
  }
}

void TEditor::endDirect() {
  if (--FDirectDepth == 0) {
    document()->setUndoRedoEnabled(true);
    if (document()->isModified() != FDirectModified) document()->setModified(FDirectModified);
    updateActiveLine();
  }
}

void TEditor::clearAll() {
  beginDirect();
  QTextCursor c(document());
  c.select(QTextCursor::Document);
  c.removeSelectedText();
  FEmptyIsOneLine = false;
  endDirect();
  FTextFormat = TTextFormat();
  document()->setModified(false);
  setTextCursor(QTextCursor(document()));
  emit statusChanged(scAll);
}

int TEditor::lineCount() const {
  if (document()->isEmpty()) return FEmptyIsOneLine ? 1 : 0;
  return document()->blockCount();
}

QString TEditor::line(int i) const {
  if (i < 0 || i >= lineCount()) return QString();
  return document()->findBlockByNumber(i).text();
}

void TEditor::setLine(int i, const QString& s) {
  if (i < 0 || i >= lineCount()) return;
  const QTextBlock block = document()->findBlockByNumber(i);
  beginDirect();
  QTextCursor c(block);
  c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  c.insertText(NormalizeLineBreaks(s));
  if (document()->isEmpty()) FEmptyIsOneLine = true;
  endDirect();
}

QStringList TEditor::lines() const {
  QStringList result;
  const int n = lineCount();
  result.reserve(n);
  if (n == 0) return result;
  for (QTextBlock b = document()->firstBlock(); b.isValid(); b = b.next()) result.append(b.text());
  return result;
}

void TEditor::setLines(const QStringList& l) {
  beginDirect();
  QTextCursor c(document());
  c.select(QTextCursor::Document);
  c.insertText(NormalizeLineBreaks(l.join(QLatin1Char('\n'))));
  FEmptyIsOneLine = l.size() == 1 && l.first().isEmpty();
  endDirect();
  setTextCursor(QTextCursor(document()));
}

void TEditor::replaceLines(int first, const QStringList& l) {
  if (first < 0 || first + l.size() > lineCount()) return;
  ++FQuietDepth;
  // A replaced line is no longer the line the user typed in.
  FHasEditedLine = false;
  QTextCursor c(document());
  c.beginEditBlock();
  // From the last line back, so that a replacement holding a break cannot
  // shift the lines still to be replaced.
  for (int i = int(l.size()) - 1; i >= 0; --i) {
    const QTextBlock block = document()->findBlockByNumber(first + i);
    if (block.text() == l.at(i)) continue;
    c.setPosition(block.position());
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    c.insertText(NormalizeLineBreaks(l.at(i)));
  }
  c.endEditBlock();
  if (document()->isEmpty()) FEmptyIsOneLine = true;
  --FQuietDepth;
  updateActiveLine();
}

QString TEditor::text() const {
  const QStringList l = lines();
  QString result;
  qsizetype total = 0;
  for (const QString& s : l) total += s.size() + FTextFormat.lineBreak.size();
  result.reserve(total);
  for (const QString& s : l) {
    result += s;
    result += FTextFormat.lineBreak;
  }
  return result;
}

void TEditor::beginUpdate() {
  if (FUpdateDepth++ == 0) setUpdatesEnabled(false);
}

void TEditor::endUpdate() {
  if (FUpdateDepth == 0) return;
  if (--FUpdateDepth == 0) {
    setUpdatesEnabled(true);
    updateActiveLine();
    viewport()->update();
  }
}

bool TEditor::loadFromFile(const QString& path, QString* error) {
  QStringList l;
  TTextFormat format;
  QString message;
  if (!ReadTextFile(path, l, format, message)) {
    if (error) *error = message;
    return false;
  }
  setLines(l);
  FTextFormat = format;
  document()->setModified(false);
  emit statusChanged(scAll);
  return true;
}

bool TEditor::saveToFile(const QString& path, QString* error) const {
  QString message;
  const bool ok = WriteTextFile(path, lines(), FTextFormat, message);
  if (!ok && error) *error = message;
  return ok;
}

// ---------------------------------------------------------------- selection

int TEditor::docLength() const { return document()->characterCount() - 1; }

int TEditor::selStart() const { return textCursor().selectionStart(); }

int TEditor::selLength() const {
  const QTextCursor c = textCursor();
  return c.selectionEnd() - c.selectionStart();
}

void TEditor::setSelStart(int start) {
  QTextCursor c = textCursor();
  c.setPosition(qBound(0, start, docLength()));
  setTextCursor(c);
}

void TEditor::setSelLength(int length) {
  QTextCursor c = textCursor();
  const int start = c.selectionStart();
  c.setPosition(start);
  c.setPosition(qBound(0, start + length, docLength()), QTextCursor::KeepAnchor);
  setTextCursor(c);
}

QString TEditor::selText() const {
  QString s = textCursor().selectedText();
  s.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
  return s;
}

void TEditor::setSelText(const QString& s) {
  QTextCursor c = textCursor();
  c.insertText(NormalizeLineBreaks(s));
  setTextCursor(c);
}

bool TEditor::hasSelection() const { return textCursor().hasSelection(); }

QPoint TEditor::caretXY() const {
  const QTextCursor c = textCursor();
  return QPoint(c.positionInBlock() + 1, c.blockNumber() + 1);
}

void TEditor::setCaretXY(const QPoint& p) {
  const int lineIndex = qBound(0, p.y() - 1, document()->blockCount() - 1);
  const QTextBlock block = document()->findBlockByNumber(lineIndex);
  QTextCursor c = textCursor();
  c.setPosition(block.position() + qBound(0, p.x() - 1, block.length() - 1));
  setTextCursor(c);
}

bool TEditor::modified() const { return document()->isModified(); }

void TEditor::setModified(bool m) { document()->setModified(m); }

// ---------------------------------------------------------------- edits

bool TEditor::canUndo() const { return document()->isUndoAvailable(); }
bool TEditor::canRedo() const { return document()->isRedoAvailable(); }
bool TEditor::canPaste() const { return QPlainTextEdit::canPaste(); }

void TEditor::undo() {
  FHasEditedLine = false;
  QPlainTextEdit::undo();
}

void TEditor::redo() {
  FHasEditedLine = false;
  QPlainTextEdit::redo();
}

void TEditor::cut() {
  TUserEdit guard(this);
  QPlainTextEdit::cut();
}

void TEditor::copy() { QPlainTextEdit::copy(); }

void TEditor::paste() {
  TUserEdit guard(this);
  QPlainTextEdit::paste();
}

void TEditor::selectAll() { QPlainTextEdit::selectAll(); }

void TEditor::clearSelection() {
  QTextCursor c = textCursor();
  if (!c.hasSelection()) return;
  TUserEdit guard(this);
  c.removeSelectedText();
  setTextCursor(c);
}

void TEditor::insertFromMimeData(const QMimeData* source) {
  if (!source || !source->hasText()) {
    QPlainTextEdit::insertFromMimeData(source);
    return;
  }
  QTextCursor c = textCursor();
  c.insertText(NormalizeLineBreaks(source->text()));
  setTextCursor(c);
  ensureCursorVisible();
}

bool TEditor::insertMode() const { return !overwriteMode(); }

void TEditor::setInsertMode(bool insert) {
  if (insert == insertMode()) return;
  setOverwriteMode(!insert);
  emit statusChanged(scInsertMode);
}

// ---------------------------------------------------------------- notifications

void TEditor::onContentsChange(int position, int removed, int added) {
  if (removed == 0 && added == 0) return;
  FEmptyIsOneLine = false;
  if (FDirectDepth > 0 || FQuietDepth > 0) return;
  // Joining or splitting the caret's paragraph need not move the caret.
  updateActiveLine();
  if (!FTrimming) {
    if (FUserEditDepth > 0) {
      FEditedLine = QTextCursor(document());
      FEditedLine.setPosition(qMin(position + added, docLength()));
      FHasEditedLine = true;
    } else {
      FHasEditedLine = false;
    }
  }
  emit changed();
}

void TEditor::onCursorMoved() {
  const QTextCursor c = textCursor();
  TStatusChanges changes;
  if (c.blockNumber() != FLastBlock) changes |= scCaretY;
  if (c.positionInBlock() != FLastColumn) changes |= scCaretX;
  FLastBlock = c.blockNumber();
  FLastColumn = c.positionInBlock();
  updateActiveLine();
  if (changes) emit statusChanged(changes);
}

// The whole paragraph of the caret is coloured, every screen row of it when
// wrapped: a full-width selection over the paragraph's text colours all its
// rows but the right end of the last one, which a full-width caret mark at the
// paragraph's end (a position only: it marks its row) completes. Both follow
// edits and re-wrapping by themselves.
void TEditor::updateActiveLine() {
  if (FUpdateDepth > 0) return;  // endUpdate comes back here
  QList<QTextEdit::ExtraSelection> selections;
  if (FActiveLineColor.isValid()) {
    const QTextBlock block = textCursor().block();
    const int end = block.position() + block.length() - 1;
    QTextEdit::ExtraSelection sel;
    sel.format.setBackground(FActiveLineColor);
    sel.format.setProperty(QTextFormat::FullWidthSelection, true);
    sel.cursor = QTextCursor(block);
    sel.cursor.setPosition(end);
    if (block.length() > 1) {
      QTextEdit::ExtraSelection text = sel;
      text.cursor.setPosition(block.position(), QTextCursor::MoveAnchor);
      text.cursor.setPosition(end, QTextCursor::KeepAnchor);
      selections.append(text);
    }
    selections.append(sel);
  }
  // Typing within the line leaves the marks as they are (they follow the
  // edit); setting them again would lay the line out once more on every key.
  const QList<QTextEdit::ExtraSelection> current = extraSelections();
  bool same = current.size() == selections.size();
  for (qsizetype i = 0; same && i < current.size(); ++i)
    same = current[i].cursor.anchor() == selections[i].cursor.anchor() &&
           current[i].cursor.position() == selections[i].cursor.position() &&
           current[i].format == selections[i].format;
  if (!same) setExtraSelections(selections);
}

// Trailing blanks of the line the user typed in go once the caret has left it;
// lines nobody typed in are never touched.
void TEditor::trimLeftLine() {
  if (!FHasEditedLine) return;
  const QTextBlock edited = FEditedLine.block();
  if (!edited.isValid() || edited == textCursor().block()) return;
  FHasEditedLine = false;
  const QString s = edited.text();
  const int keep = endOfNonBlank(s);
  if (keep == s.size() || isReadOnly()) return;
  FTrimming = true;
  // Its own undo step: QTextDocument cannot join an edit block to merged typing.
  QTextCursor c(edited);
  c.beginEditBlock();
  c.setPosition(edited.position() + keep);
  c.setPosition(edited.position() + s.size(), QTextCursor::KeepAnchor);
  c.removeSelectedText();
  c.endEditBlock();
  FTrimming = false;
}

// ---------------------------------------------------------------- keys

bool TEditor::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride) {
    auto* ke = static_cast<QKeyEvent*>(e);
    // Alt+N belongs to the editor, not to a menu mnemonic.
    if (ke->key() == Qt::Key_N && ke->modifiers() == Qt::AltModifier) {
      e->accept();
      return true;
    }
  }
  return QPlainTextEdit::event(e);
}

void TEditor::keyPressEvent(QKeyEvent* e) {
  if (onKeyDown && onKeyDown(e)) {
    e->accept();
    return;
  }
  TUserEdit guard(this);
  if (handleSpecialKey(e)) {
    e->accept();
    trimLeftLine();
    return;
  }
  const QString t = e->text();
  if (onKeyPress && !t.isEmpty() && t.at(0).isPrint() && !(e->modifiers() & Qt::ControlModifier)) {
    QChar key = t.at(0);
    onKeyPress(key);
    if (key.isNull()) {
      e->accept();
      return;
    }
    if (key != t.at(0)) {
      QKeyEvent replaced(e->type(), e->key(), e->modifiers(), QString(key), e->isAutoRepeat(), e->count());
      QPlainTextEdit::keyPressEvent(&replaced);
      e->accept();
      return;
    }
  }
  QPlainTextEdit::keyPressEvent(e);
  trimLeftLine();
}

bool TEditor::handleSpecialKey(QKeyEvent* e) {
  const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
  const int key = e->key();
  // Bindings the editor does not have: line break, insert line, delete word,
  // delete to the line end.
  if ((mods == Qt::ControlModifier && (key == Qt::Key_M || key == Qt::Key_N || key == Qt::Key_T)) ||
      (mods == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_Y))
    return true;
  if (key == Qt::Key_N && mods == Qt::AltModifier) {
    if (!isReadOnly()) doInsertLine();
    return true;
  }
  if (e->matches(QKeySequence::Undo)) {
    undo();
    return true;
  }
  if (e->matches(QKeySequence::Redo)) {
    redo();
    return true;
  }
  if (key == Qt::Key_End && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
    doEnd(mods == Qt::ShiftModifier);
    return true;
  }
  if (isReadOnly()) return false;
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
    doNewLine();
    return true;
  }
  if (key == Qt::Key_Tab && mods == Qt::NoModifier) {
    doTab();
    return true;
  }
  if (key == Qt::Key_Backtab) return true;
  if (key == Qt::Key_Backspace && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) return doSmartBackspace();
  return false;
}

void TEditor::doEnd(bool select) {
  QTextCursor c = textCursor();
  const QTextBlock block = c.block();
  const QString s = block.text();
  const int column = c.positionInBlock();
  const int lastNonBlank = endOfNonBlank(s);
  const int target = column == lastNonBlank ? s.size() : lastNonBlank;
  c.setPosition(block.position() + target, select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
  setTextCursor(c);
  ensureCursorVisible();
}

// One undo step at the caret that first takes the selection away; the caret
// ends where the edit leaves the cursor.
void TEditor::editAtCaret(const std::function<void(QTextCursor& c)>& edit) {
  QTextCursor c = textCursor();
  c.beginEditBlock();
  if (c.hasSelection()) c.removeSelectedText();
  edit(c);
  c.endEditBlock();
  setTextCursor(c);
  ensureCursorVisible();
}

void TEditor::doNewLine() {
  editAtCaret([this](QTextCursor& c) {
    const QTextBlock block = c.block();
    const QString s = block.text();
    const int column = c.positionInBlock();
    const QString indent = FAutoIndent ? s.left(qMin(leadingBlanks(s), column)) : QString();
    int keep = column;
    while (keep > 0 && isBlank(s.at(keep - 1))) --keep;
    if (keep < column) {
      c.setPosition(block.position() + keep);
      c.setPosition(block.position() + column, QTextCursor::KeepAnchor);
      c.removeSelectedText();
    }
    c.insertText(QLatin1Char('\n') + indent);
  });
}

void TEditor::doInsertLine() {
  editAtCaret([](QTextCursor& c) {
    c.insertText(QStringLiteral("\n"));
    c.movePosition(QTextCursor::PreviousCharacter);
  });
}

void TEditor::doTab() {
  editAtCaret([this](QTextCursor& c) { insertTab(c); });
}

void TEditor::insertTab(QTextCursor& c) {
  const int column = c.positionInBlock();
  // The next word start of the nearest line above that reaches past the caret
  // is the tab stop; without one, the next multiple of the tab width.
  int target = (column / FTabWidth + 1) * FTabWidth;
  for (QTextBlock b = c.block().previous(); b.isValid(); b = b.previous()) {
    const QString s = b.text();
    if (s.size() <= column) continue;
    int i = column;
    while (i < s.size() && !isBlank(s.at(i))) ++i;
    while (i < s.size() && isBlank(s.at(i))) ++i;
    if (i < s.size() && i > column) target = i;
    break;
  }
  c.insertText(QString(target - column, QLatin1Char(' ')));
}

bool TEditor::doSmartBackspace() {
  QTextCursor c = textCursor();
  if (c.hasSelection()) return false;
  const int column = c.positionInBlock();
  const QTextBlock block = c.block();
  const QString s = block.text();
  if (column == 0 || leadingBlanks(s) < column) return false;
  // Back to the indent of the nearest line above that is indented less.
  int target = 0;
  for (QTextBlock b = block.previous(); b.isValid(); b = b.previous()) {
    const QString t = b.text();
    const int indent = leadingBlanks(t);
    if (indent == t.size()) continue;  // blank lines carry no indent
    if (indent < column) {
      target = indent;
      break;
    }
  }
  c.setPosition(block.position() + target);
  c.setPosition(block.position() + column, QTextCursor::KeepAnchor);
  c.removeSelectedText();
  setTextCursor(c);
  return true;
}

void TEditor::mousePressEvent(QMouseEvent* e) {
  QPlainTextEdit::mousePressEvent(e);
  trimLeftLine();
}

void TEditor::inputMethodEvent(QInputMethodEvent* e) {
  TUserEdit guard(this);
  QPlainTextEdit::inputMethodEvent(e);
}

// ---------------------------------------------------------------- appearance

void TEditor::setActiveLineColor(const QColor& c) {
  FActiveLineColor = c;
  updateActiveLine();
}

void TEditor::setWordWrap(bool wrap) {
  setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool TEditor::wordWrap() const { return lineWrapMode() != QPlainTextEdit::NoWrap; }

void TEditor::setEditorFont(const QFont& f) {
  setFont(f);
  document()->setDefaultFont(f);
  setTabStopDistance(FTabWidth * QFontMetricsF(f).horizontalAdvance(QLatin1Char(' ')));
}

void TEditor::setTextColor(const QColor& c) {
  QPalette p = palette();
  p.setColor(QPalette::Text, c);
  setPalette(p);
}

void TEditor::setBackgroundColor(const QColor& c) {
  QPalette p = palette();
  p.setColor(QPalette::Base, c);
  setPalette(p);
}

QColor TEditor::backgroundColor() const { return palette().color(QPalette::Base); }

// ---------------------------------------------------------------- painting

void TEditor::addPlugin(TEditorPlugin* plugin) {
  if (!plugin) return;
  if (plugin->FPluginEditor && plugin->FPluginEditor != this) plugin->FPluginEditor->removePlugin(plugin);
  if (std::find(FPlugins.begin(), FPlugins.end(), plugin) == FPlugins.end()) FPlugins.push_back(plugin);
  plugin->FPluginEditor = this;
  viewport()->update();
}

void TEditor::removePlugin(TEditorPlugin* plugin) {
  if (!plugin) return;
  FPlugins.erase(std::remove(FPlugins.begin(), FPlugins.end(), plugin), FPlugins.end());
  if (plugin->FPluginEditor == this) plugin->FPluginEditor = nullptr;
  viewport()->update();
}

void TEditor::formatShownBlocks() {
  // Each block gets its formats before it is measured: new formats can
  // change how a wrapped block breaks, and so which blocks fit, and a block
  // measured plain would be laid out twice.
  const QTextBlock first = firstVisibleBlock();
  if (!first.isValid()) return;
  onPaintBlocks(first, first);
  qreal top = blockBoundingGeometry(first).translated(contentOffset()).top();
  const int height = viewport()->height();
  for (QTextBlock b = first; b.isValid() && top <= height; b = b.next()) {
    if (b != first) onPaintBlocks(first, b);
    top += blockBoundingRect(b).height();
  }
}

void TEditor::paintEvent(QPaintEvent* e) {
  if (onPaintBlocks) formatShownBlocks();
  QPlainTextEdit::paintEvent(e);
  if (FPlugins.empty()) return;
  QPainter painter(viewport());
  const int first = firstVisibleLine();
  const int last = lastVisibleLine();
  // A plug-in may remove or destroy itself, or another one, while painting:
  // each is called only while it is still registered.
  const std::vector<TEditorPlugin*> plugins = FPlugins;
  for (TEditorPlugin* p : plugins) {
    if (std::find(FPlugins.begin(), FPlugins.end(), p) == FPlugins.end()) continue;
    painter.save();
    p->afterPaint(painter, e->rect(), first, last);
    painter.restore();
  }
}

int TEditor::firstVisibleLine() const { return firstVisibleBlock().blockNumber() + 1; }

int TEditor::lastVisibleLine() const {
  QTextBlock b = firstVisibleBlock();
  int last = b.blockNumber();
  qreal top = blockBoundingGeometry(b).translated(contentOffset()).top();
  const int height = viewport()->height();
  while (b.isValid() && top <= height) {
    if (b.isVisible()) last = b.blockNumber();
    top += blockBoundingRect(b).height();
    b = b.next();
  }
  return last + 1;
}

QRect TEditor::lineColumnRect(int line, int column, int length) const {
  const QTextBlock block = document()->findBlockByNumber(line - 1);
  if (!block.isValid() || !block.isVisible() || !block.layout()) return QRect();
  const QPointF origin = blockBoundingGeometry(block).translated(contentOffset()).topLeft();
  const QTextLayout* layout = block.layout();
  const int textLength = block.length() - 1;
  const int start = qBound(0, column - 1, textLength);
  const QTextLine tl = layout->lineForTextPosition(start);
  if (!tl.isValid()) return QRect();
  // A run that wraps is cut at the end of its first visual line.
  const int end = qMin(qMin(start + qMax(0, length), textLength), tl.textStart() + tl.textLength());
  const qreal x1 = tl.cursorToX(start);
  const qreal x2 = tl.cursorToX(end);
  return QRectF(origin.x() + x1, origin.y() + tl.y(), x2 - x1, tl.height()).toAlignedRect();
}

QPoint TEditor::rowColumnToPixels(int line, int column) const {
  const int lineIndex = qBound(0, line - 1, document()->blockCount() - 1);
  const QTextBlock block = document()->findBlockByNumber(lineIndex);
  QTextCursor c(block);
  c.setPosition(block.position() + qBound(0, column - 1, block.length() - 1));
  return cursorRect(c).topLeft();
}

QPoint TEditor::rowColumnToScreen(int line, int column) const {
  return viewport()->mapToGlobal(rowColumnToPixels(line, column));
}

int TEditor::lineHeight() const {
  const QTextBlock block = document()->firstBlock();
  if (block.layout() && block.layout()->lineCount() > 0) return qRound(block.layout()->lineAt(0).height());
  return QFontMetrics(document()->defaultFont()).height();
}

// ---------------------------------------------------------------- printing and search

int TEditor::printPageCount(QPrinter* printer, bool wordWrap) {
  return PrintPageCount(document(), font(), printer, wordWrap);
}

void TEditor::print(QPrinter* printer, const QString& title, bool wordWrap,
                    const THighlighterFactory& highlighterFactory, int fromPage, int toPage) {
  PrintDocument(document(), font(), printer, title, wordWrap, highlighterFactory, fromPage, toPage);
}

int TEditor::searchReplace(const QString& search, const QString& replace, TSearchOptions options) {
  if ((options & (ssoReplace | ssoReplaceAll)) && isReadOnly()) return 0;
  TTextSearch engine(document());
  engine.onReplaceText = onReplaceText;
  engine.onShow = [this](const QTextCursor& c) {
    setTextCursor(c);
    ensureCursorVisible();
  };
  return engine.run(search, replace, options, textCursor());
}
