#pragma once
// The text-editing control of the markup editor.
//
// Positions: selection offsets (selStart, selLength) are character offsets into
// the document where every line break counts as ONE character, whatever the
// file's break style (QTextDocument positions).  Lines and columns (caretXY,
// searchReplace callbacks, lineColumnRect, plug-ins) are 1-based.
//
// Direct line-list operations (setLine, setLines, loadFromFile, clearAll) are
// not undoable: they neither set the modified flag nor emit changed(), and they
// clear the undo history (QTextDocument cannot keep older undo steps valid
// across edits it did not record).  The tools that rewrite lines on the user's
// behalf use replaceLines instead: one undo step that sets the modified flag.
#include <QColor>
#include <QFlags>
#include <QFont>
#include <QPlainTextEdit>
#include <QPoint>
#include <QRect>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <functional>
#include <vector>

#include "core/TextCodec.h"
#include "editor/TextPrint.h"
#include "editor/TextSearch.h"

class QPainter;
class QPrinter;
class QKeyEvent;
class QMimeData;
class QMouseEvent;

enum TStatusChange {
  scAll = 0x01,
  scSelection = 0x02,
  scModified = 0x04,
  scCaretX = 0x08,
  scCaretY = 0x10,
  scInsertMode = 0x20,
};
Q_DECLARE_FLAGS(TStatusChanges, TStatusChange)
Q_DECLARE_OPERATORS_FOR_FLAGS(TStatusChanges)

class TEditor;

// Painting plug-in: called at the end of every paint with the viewport painter.
// A plug-in belongs to at most one editor at a time.  Destroying it removes it
// from its editor, and destroying the editor forgets it, so neither side is
// ever called through a dangling pointer.
class TEditorPlugin {
 public:
  TEditorPlugin() = default;
  TEditorPlugin(const TEditorPlugin&) = delete;
  TEditorPlugin& operator=(const TEditorPlugin&) = delete;
  virtual ~TEditorPlugin();
  // firstLine and lastLine are the 1-based text lines painted (wrapped lines
  // count once).
  virtual void afterPaint(QPainter& canvas, const QRect& clip, int firstLine, int lastLine) = 0;
  // The editor the plug-in is registered with, or nullptr.
  TEditor* pluginEditor() const { return FPluginEditor; }

 private:
  friend class TEditor;
  TEditor* FPluginEditor = nullptr;
};

class TEditor : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TEditor(QWidget* parent = nullptr);
  ~TEditor() override;

  // Empties text, undo/redo history and modified flag; the format becomes the default.
  void clearAll();

  // Line list (direct operations).
  int lineCount() const;
  QString line(int i) const;  // 0-based; out of range gives an empty string
  void setLine(int i, const QString& s);
  QStringList lines() const;
  void setLines(const QStringList& l);
  // Lines first .. first + l.size() - 1 (which exist) become l, as ONE undo
  // step that sets the modified flag; the earlier history stays.  Lines that do
  // not change are not touched.  changed() is not emitted: the caller decides
  // what such a change refreshes.
  void replaceLines(int first, const QStringList& l);
  QString text() const;  // every line followed by lineBreak()
  void beginUpdate();
  void endUpdate();

  // Document file.
  bool loadFromFile(const QString& path, QString* error);
  bool saveToFile(const QString& path, QString* error) const;
  TTextFormat textFormat() const { return FTextFormat; }
  void setTextFormat(const TTextFormat& format) { FTextFormat = format; }
  QString lineBreak() const { return FTextFormat.lineBreak; }

  // Selection (offsets as described above).
  int selStart() const;
  int selLength() const;
  void setSelStart(int start);
  void setSelLength(int length);
  QString selText() const;  // line breaks as "\n"
  void setSelText(const QString& s);  // undoable; emits changed()
  bool hasSelection() const;

  // Caret: x = column, y = line, both 1-based.
  QPoint caretXY() const;
  void setCaretXY(const QPoint& p);

  bool modified() const;
  void setModified(bool m);

  // Edits.
  bool canUndo() const;
  bool canRedo() const;
  bool canPaste() const;
  void undo();
  void redo();
  void cut();
  void copy();
  void paste();
  void selectAll();
  void clearSelection();  // deletes the selected text
  bool isReadOnly() const { return QPlainTextEdit::isReadOnly(); }

  // Called before each paint with the first block the viewport shows and,
  // one call per block, each next block until the viewport is full; a block
  // is measured only after the call that ends with it.  It may change the
  // layout formats of first..last (a highlighter that works on demand).
  std::function<void(const QTextBlock& first, const QTextBlock& last)> onPaintBlocks;

  // Key hooks.  onKeyDown runs before a key is handled; true swallows it.
  // onKeyPress sees each printable character; setting it to QChar() swallows it.
  std::function<bool(QKeyEvent*)> onKeyDown;
  std::function<void(QChar& key)> onKeyPress;

  bool insertMode() const;  // false: overwrite
  void setInsertMode(bool insert);

  void setActiveLineColor(const QColor& c);
  QColor activeLineColor() const { return FActiveLineColor; }
  void setWordWrap(bool wrap);
  bool wordWrap() const;
  void setAutoIndent(bool on) { FAutoIndent = on; }
  bool autoIndent() const { return FAutoIndent; }
  void setEditorFont(const QFont& f);
  void setTextColor(const QColor& c);
  void setBackgroundColor(const QColor& c);
  QColor backgroundColor() const;
  int tabWidth() const { return FTabWidth; }

  // Printing with highlighting: a clone of the document gets a highlighter from
  // the factory (which may return nullptr).  Pages are 1-based; 0, 0 prints all.
  int printPageCount(QPrinter* printer, bool wordWrap);
  void print(QPrinter* printer, const QString& title, bool wordWrap, const THighlighterFactory& highlighterFactory,
             int fromPage = 0, int toPage = 0);

  // Plug-ins (not owned).  Adding a plug-in registered with another editor
  // moves it here.
  void addPlugin(TEditorPlugin* plugin);
  int pluginCount() const { return int(FPlugins.size()); }
  void removePlugin(TEditorPlugin* plugin);
  // Viewport rectangle of `length` characters from (line, column), 1-based;
  // empty when the line is not laid out.
  QRect lineColumnRect(int line, int column, int length) const;
  // Global screen position of the top-left of the character at (line, column).
  QPoint rowColumnToScreen(int line, int column) const;
  // Viewport position of the top-left of that character.
  QPoint rowColumnToPixels(int line, int column) const;
  int lineHeight() const;
  // 1-based text lines visible in the viewport.
  int firstVisibleLine() const;
  int lastVisibleLine() const;

  // Search and replace.
  // Asked before each replacement under ssoPrompt (see TTextSearch).
  TTextSearch::TAskReplace onReplaceText;
  int searchReplace(const QString& search, const QString& replace, TSearchOptions options);

  // Word helpers for the spell checker: a word is a run of letters, digits and '_'.
  static bool isWordChar(QChar c);
  QString wordAtRowCol(int line, int column) const;
  // Word navigation in (column, line) positions, both 1-based.  nextWordPos
  // gives the start of the next word after xy, or the end of the last line
  // when there is none (so that it stops moving); prevWordPos the start of the
  // word before xy, or (1, 1).  wordStart/wordEnd give the bounds (end: the
  // column after the last character) of the word at or just before xy, or xy.
  QPoint nextWordPos(const QPoint& xy) const;
  QPoint prevWordPos(const QPoint& xy) const;
  QPoint wordStart(const QPoint& xy) const;
  QPoint wordEnd(const QPoint& xy) const;
  // Text starts at the viewport's left edge: there is no gutter.
  int gutterWidth() const { return 0; }

 signals:
  void changed();
  void statusChanged(TStatusChanges changes);

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  class TUserEdit;
  void onContentsChange(int position, int removed, int added);
  void onCursorMoved();
  void formatShownBlocks();
  void updateActiveLine();
  void beginDirect();
  void endDirect();
  bool handleSpecialKey(QKeyEvent* e);
  void doEnd(bool select);
  void editAtCaret(const std::function<void(QTextCursor& c)>& edit);
  void doTab();
  void insertTab(QTextCursor& c);
  bool doSmartBackspace();
  void doNewLine();
  void doInsertLine();
  void trimLeftLine();
  int docLength() const;
  QPoint wordBound(const QPoint& xy, bool end) const;

  TTextFormat FTextFormat;
  QColor FActiveLineColor;
  bool FAutoIndent = true;
  int FTabWidth = 8;
  int FUpdateDepth = 0;
  int FDirectDepth = 0;
  int FQuietDepth = 0;  // edits that are recorded but do not emit changed()
  bool FDirectModified = false;
  bool FEmptyIsOneLine = false;  // an empty document holding one empty line
  int FUserEditDepth = 0;
  bool FTrimming = false;
  int FLastBlock = 0;
  int FLastColumn = 0;
  // The line the user typed in last; its trailing blanks go when the caret leaves it.
  QTextCursor FEditedLine;
  bool FHasEditedLine = false;
  std::vector<TEditorPlugin*> FPlugins;
};
