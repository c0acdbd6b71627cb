#include "app/Commands.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "app/General.h"
#include "app/SearchReplace.h"
#include "app/TextTools.h"
#include "app/UfrmAboutBox.h"
#include "app/UfrmMain.h"
#include "app/UfrmOptions.h"
#include "editor/Editor.h"
#include "menus/UfrmMenuEdit.h"
#include "platform/Paths.h"
#include "platform/Platform.h"
#include "tools/Ufrm3Stage.h"
#include "tools/UfrmInsDateTime.h"
#include "tools/UfrmTolTable.h"
#include "tools/UfrmUnitConv.h"

namespace {

// --- state rules
bool canUndo(const TEditor& e) { return e.canUndo(); }
bool canRedo(const TEditor& e) { return e.canRedo(); }
// The clipboard is read when it changes, not on every refresh of the command
// states: on X11 each reading is a round trip to the server.
bool clipboardHasText() {
  static bool hasText = false;
  static const bool watching = [] {
    auto read = [] {
      const QMimeData* d = QGuiApplication::clipboard()->mimeData();
      hasText = d && d->hasText() && !d->text().isEmpty();
    };
    read();
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, read);
    return true;
  }();
  return watching && hasText;
}
bool canPaste(const TEditor& e) { return !e.isReadOnly() && clipboardHasText(); }
bool hasSelection(const TEditor& e) { return e.hasSelection(); }
bool selectionWritable(const TEditor& e) { return e.hasSelection() && !e.isReadOnly(); }
bool writable(const TEditor& e) { return !e.isReadOnly(); }
bool wordWrap(const TEditor& e) { return e.wordWrap(); }

// --- commands that open a dialog
void insertThreeStack(TfrmMain& w, const QString&, QObject*) {
  QString text = w.Editor->selText();
  if (!Execute3Stage(text, Options.CommaAsSep, &w)) return;
  w.InsertAtCaret(text);
  w.RenderText();
}

void insertDateTime(TfrmMain& w, const QString&, QObject*) {
  QString line;
  if (!ExecuteInsDateTime(line, &w)) return;
  w.InsertAtCaret(QLatin1Char(' ') + line + QLatin1Char(' '));
  w.RenderText();
}

void insertTolerance(TfrmMain& w, const QString&, QObject*) {
  // The nominal is the selection without the blanks and control characters around it.
  QString text = w.Editor->selText();
  int first = 0, last = text.size();
  while (first < last && text.at(first) <= QLatin1Char(' ')) ++first;
  while (last > first && text.at(last - 1) <= QLatin1Char(' ')) --last;
  text = text.mid(first, last - first);
  if (!ExecuteTolTable(text, platform::supportFile(QStringLiteral("korvex.tol")), Options.TolHeight,
                       Options.CommaAsSep, &w))
    return;
  w.InsertAtCaret(text);
  w.RenderText();
}
void recountUnits(TfrmMain& w, const QString&, QObject*) {
  QString value;
  if (ExecuteUnitConv(platform::supportFile(QStringLiteral("unit_conv.xml")), value, &w, Options.CommaAsSep))
    w.InsertAtCaret(value);
}

void editMenus(TfrmMain& w, const QString&, QObject*) {
  if (!EditMenuFile(MenuFileName, MenuImagesFileName, &w)) return;
  // A first save when installed made the user's copy, which is read from now on.
  MenuFileName = platform::supportFile(QStringLiteral("menu.xml"));
  // The rebuild (spelling set-up included) takes a moment; the cursor says so even if it fails.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    w.RebuildMenus();
  } catch (...) {
    QApplication::restoreOverrideCursor();
    throw;
  }
  QApplication::restoreOverrideCursor();
}

void options(TfrmMain& w, const QString&, QObject*) {
  if (!ExecuteOptionsDialog(&w)) return;
  w.ApplyEditorSettings();
  w.ApplyMenuFont();
  w.RenderText();
}

using W = TfrmMain;
using A = const QString&;
using S = QObject*;

// One row per command, in the order of the enumeration.
constexpr TCommand Commands[] = {
    {cmdNone, [](W&, A, S) {}, nullptr, nullptr},
    {cmdFileNew, [](W& w, A, S) { w.Editor->clearAll(); }, nullptr, nullptr},
    {cmdFileOpen, [](W& w, A, S) { w.OpenText(); }, nullptr, nullptr},
    {cmdFileSave, [](W& w, A, S) { w.SaveText(); }, nullptr, nullptr},
    {cmdFileSaveAs, [](W& w, A, S) { w.SaveTextAs(); }, nullptr, nullptr},
    {cmdFilePrint, [](W& w, A, S) { w.PrintText(); }, nullptr, nullptr},
    {cmdFileOk, [](W& w, A, S) { w.ApplyAndClose(); }, nullptr, nullptr},
    {cmdFileExit, [](W& w, A, S) { w.ExitWithoutSaving(); }, nullptr, nullptr},
    {cmdEditUndo, [](W& w, A, S) { w.UndoEdit(false); }, canUndo, nullptr},
    {cmdEditRedo, [](W& w, A, S) { w.UndoEdit(true); }, canRedo, nullptr},
    {cmdEditCut, [](W& w, A, S) { w.Editor->cut(); }, selectionWritable, nullptr},
    {cmdEditCopy, [](W& w, A, S) { w.Editor->copy(); }, hasSelection, nullptr},
    {cmdEditPaste, [](W& w, A, S) { w.Editor->paste(); }, canPaste, nullptr},
    {cmdEditDelete, [](W& w, A, S) { w.Editor->clearSelection(); }, selectionWritable, nullptr},
    {cmdEditFind, [](W& w, A, S) { ShowSearchDialog(&w, *w.Editor, false); }, nullptr, nullptr},
    {cmdEditFindNext, [](W& w, A, S) { SearchReplaceText(&w, *w.Editor, false, false); }, nullptr, nullptr},
    {cmdEditFindPrev, [](W& w, A, S) { SearchReplaceText(&w, *w.Editor, false, true); }, nullptr, nullptr},
    {cmdEditReplace, [](W& w, A, S) { ShowSearchDialog(&w, *w.Editor, true); }, nullptr, nullptr},
    // Registered for the idle refresh, but never disabled.
    {cmdEditSelectAll, [](W& w, A, S) { w.Editor->selectAll(); }, nullptr, nullptr},
    {cmdEditDeleteSymbol, [](W& w, A, S) { w.DeleteFirstSymbol(); }, writable, nullptr},
    {cmdEditInsertSpace, [](W& w, A, S) { w.InsertLeadingSpace(); }, writable, nullptr},
    {cmdEditLowerCase, [](W& w, A, S) { w.ChangeCase(true); }, selectionWritable, nullptr},
    {cmdEditUpperCase, [](W& w, A, S) { w.ChangeCase(false); }, selectionWritable, nullptr},
    {cmdInsertStack, [](W& w, A a, S) { w.InsertAtCaret(a); }, nullptr, nullptr},
    {cmdInsertThreeStack, insertThreeStack, nullptr, nullptr},
    {cmdInsertDataTime, insertDateTime, nullptr, nullptr},
    {cmdInsertTolerance, insertTolerance, nullptr, nullptr},
    {cmdInsertString, [](W& w, A a, S) { w.InsertAtCaret(a); }, nullptr, nullptr},
    {cmdInsertQuotedString, [](W& w, A a, S) { w.InsertAtCaret(EncloseText(w.Editor->selText(), a)); }, nullptr,
     nullptr},
    {cmdInsertFile, [](W& w, A a, S) { w.InsertSupportFile(platform::supportFile(a)); },
     nullptr, nullptr},
    {cmdToolsRender, [](W& w, A, S) { w.RenderText(); }, nullptr, nullptr},
    {cmdToolsEditMenus, editMenus, nullptr, nullptr},
    {cmdToolsNumbering, [](W& w, A, S) { w.NumberParagraphs(); }, writable, nullptr},
    {cmdToolsCharMap, [](W& w, A, S) { platform::openSystemProgram(&w, platform::SystemProgram::CharMap); },
     nullptr, nullptr},
    {cmdToolsExecCalc, [](W& w, A, S) { platform::openSystemProgram(&w, platform::SystemProgram::Calculator); },
     nullptr, nullptr},
    {cmdToolsRecount, recountUnits, nullptr, nullptr},
    {cmdToolsRoman, [](W& w, A, S s) { w.ToggleRomanNumerals(s); }, nullptr, nullptr},
    {cmdToolsWordWrap, [](W& w, A, S s) { w.ToggleWordWrap(s); }, nullptr, wordWrap},
    {cmdToolsOptions, options, nullptr, nullptr},
    {cmdHelpCallHelp, [](W& w, A, S) { platform::showHelp(&w, 0); }, nullptr, nullptr},
    {cmdHelpAbout, [](W& w, A, S) { ShowAboutBox(&w); }, nullptr, nullptr},
};

static_assert(sizeof(Commands) / sizeof(Commands[0]) == MenuCommandCount, "one row per command");

constexpr bool tableIsConsistent() {
  for (int i = 0; i < MenuCommandCount; ++i) {
    if (Commands[i].cmd != i) return false;  // rows in enumeration order
    // A rule without idle registration would never run.
    if ((Commands[i].enabled || Commands[i].checked) && !MenuCommandInfo[i].state) return false;
  }
  return true;
}
static_assert(tableIsConsistent(), "rows in enumeration order; every state rule belongs to a state command");

}  // namespace

const TCommand& CommandOf(TMenuCommand cmd) { return Commands[cmd < MenuCommandCount ? cmd : cmdNone]; }
