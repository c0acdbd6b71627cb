#include "app/Commands.h"

#include <QApplication>

#include "app/CommandTarget.h"
#include "app/General.h"
#include "app/SearchReplace.h"
#include "app/Session.h"
#include "app/TextTools.h"
#include "app/UfrmAboutBox.h"
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
bool canUndo(TCommandTarget& w) { return w.editor().canUndo(); }
bool canRedo(TCommandTarget& w) { return w.editor().canRedo(); }
bool canPaste(TCommandTarget& w) { return !w.editor().isReadOnly() && w.clipboardHasText(); }
bool hasSelection(TCommandTarget& w) { return w.editor().hasSelection(); }
bool selectionWritable(TCommandTarget& w) { return w.editor().hasSelection() && !w.editor().isReadOnly(); }
bool writable(TCommandTarget& w) { return !w.editor().isReadOnly(); }
bool wordWrap(TCommandTarget& w) { return w.editor().wordWrap(); }

// --- commands that open a dialog
void insertThreeStack(TCommandTarget& w, const QString&, QObject*) {
  QString text = w.editor().selText();
  if (!Execute3Stage(text, w.session().Options.CommaAsSep, w.dialogParent())) return;
  w.InsertAtCaret(text);
  w.RenderText();
}

void insertDateTime(TCommandTarget& w, const QString&, QObject*) {
  QString line;
  if (!ExecuteInsDateTime(line, w.dialogParent())) return;
  w.InsertAtCaret(QLatin1Char(' ') + line + QLatin1Char(' '));
  w.RenderText();
}

void insertTolerance(TCommandTarget& w, const QString&, QObject*) {
  // The nominal is the selection without the blanks and control characters around it.
  QString text = w.editor().selText();
  int first = 0, last = text.size();
  while (first < last && text.at(first) <= QLatin1Char(' ')) ++first;
  while (last > first && text.at(last - 1) <= QLatin1Char(' ')) --last;
  text = text.mid(first, last - first);
  if (!ExecuteTolTable(text, platform::supportFile(QStringLiteral("korvex.tol")), w.session().Options.TolHeight,
                       w.session().Options.CommaAsSep, w.dialogParent()))
    return;
  w.InsertAtCaret(text);
  w.RenderText();
}
void recountUnits(TCommandTarget& w, const QString&, QObject*) {
  QString value;
  if (ExecuteUnitConv(w.session().Units, platform::supportFile(QStringLiteral("unit_conv.xml")), value,
                      w.dialogParent(), w.session().Options.CommaAsSep))
    w.InsertAtCaret(value);
}

void editMenus(TCommandTarget& w, const QString&, QObject*) {
  TSessionPaths& paths = w.session().Paths;
  if (!EditMenuFile(paths.MenuFileName, paths.MenuImagesFileName, w.dialogParent())) return;
  // A first save when installed made the user's copy, which is read from now on.
  paths.MenuFileName = platform::supportFile(QStringLiteral("menu.xml"));
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

void options(TCommandTarget& w, const QString&, QObject*) {
  if (!ExecuteOptionsDialog(w.session().Options, w.dialogParent())) return;
  w.ApplyEditorSettings();
  w.ApplyMenuFont();
  w.RenderText();
}

using W = TCommandTarget;
using A = const QString&;
using S = QObject*;

// One row per command, in the order of the enumeration.
constexpr TCommand Commands[] = {
    {cmdNone, [](W&, A, S) {}, nullptr, nullptr},
    {cmdFileNew, [](W& w, A, S) { w.editor().clearAll(); }, nullptr, nullptr},
    {cmdFileOpen, [](W& w, A, S) { w.OpenText(); }, nullptr, nullptr},
    {cmdFileSave, [](W& w, A, S) { w.SaveText(); }, nullptr, nullptr},
    {cmdFileSaveAs, [](W& w, A, S) { w.SaveTextAs(); }, nullptr, nullptr},
    {cmdFilePrint, [](W& w, A, S) { w.PrintText(); }, nullptr, nullptr},
    {cmdFileOk, [](W& w, A, S) { w.ApplyAndClose(); }, nullptr, nullptr},
    {cmdFileExit, [](W& w, A, S) { w.ExitWithoutSaving(); }, nullptr, nullptr},
    {cmdEditUndo, [](W& w, A, S) { w.UndoEdit(false); }, canUndo, nullptr},
    {cmdEditRedo, [](W& w, A, S) { w.UndoEdit(true); }, canRedo, nullptr},
    {cmdEditCut, [](W& w, A, S) { w.editor().cut(); }, selectionWritable, nullptr},
    {cmdEditCopy, [](W& w, A, S) { w.editor().copy(); }, hasSelection, nullptr},
    {cmdEditPaste, [](W& w, A, S) { w.editor().paste(); }, canPaste, nullptr},
    {cmdEditDelete, [](W& w, A, S) { w.editor().clearSelection(); }, selectionWritable, nullptr},
    {cmdEditFind, [](W& w, A, S) { w.session().Search.ShowSearchDialog(w.dialogParent(), w.editor(), false); }, nullptr, nullptr},
    {cmdEditFindNext, [](W& w, A, S) { w.session().Search.SearchReplaceText(w.dialogParent(), w.editor(), false, false); }, nullptr, nullptr},
    {cmdEditFindPrev, [](W& w, A, S) { w.session().Search.SearchReplaceText(w.dialogParent(), w.editor(), false, true); }, nullptr, nullptr},
    {cmdEditReplace, [](W& w, A, S) { w.session().Search.ShowSearchDialog(w.dialogParent(), w.editor(), true); }, nullptr, nullptr},
    // Registered for the idle refresh, but never disabled.
    {cmdEditSelectAll, [](W& w, A, S) { w.editor().selectAll(); }, nullptr, nullptr},
    {cmdEditDeleteSymbol, [](W& w, A, S) { w.DeleteFirstSymbol(); }, writable, nullptr},
    {cmdEditInsertSpace, [](W& w, A, S) { w.InsertLeadingSpace(); }, writable, nullptr},
    {cmdEditLowerCase, [](W& w, A, S) { w.ChangeCase(true); }, selectionWritable, nullptr},
    {cmdEditUpperCase, [](W& w, A, S) { w.ChangeCase(false); }, selectionWritable, nullptr},
    {cmdInsertStack, [](W& w, A a, S) { w.InsertAtCaret(a); }, nullptr, nullptr},
    {cmdInsertThreeStack, insertThreeStack, nullptr, nullptr},
    {cmdInsertDataTime, insertDateTime, nullptr, nullptr},
    {cmdInsertTolerance, insertTolerance, nullptr, nullptr},
    {cmdInsertString, [](W& w, A a, S) { w.InsertAtCaret(a); }, nullptr, nullptr},
    {cmdInsertQuotedString, [](W& w, A a, S) { w.InsertAtCaret(EncloseText(w.editor().selText(), a)); }, nullptr,
     nullptr},
    {cmdInsertFile, [](W& w, A a, S) { w.InsertSupportFile(platform::supportFile(a)); },
     nullptr, nullptr},
    {cmdToolsRender, [](W& w, A, S) { w.RenderText(); }, nullptr, nullptr},
    {cmdToolsEditMenus, editMenus, nullptr, nullptr},
    {cmdToolsNumbering, [](W& w, A, S) { w.NumberParagraphs(); }, writable, nullptr},
    {cmdToolsCharMap, [](W& w, A, S) { platform::openSystemProgram(w.dialogParent(), platform::SystemProgram::CharMap); },
     nullptr, nullptr},
    {cmdToolsExecCalc, [](W& w, A, S) { platform::openSystemProgram(w.dialogParent(), platform::SystemProgram::Calculator); },
     nullptr, nullptr},
    {cmdToolsRecount, recountUnits, nullptr, nullptr},
    {cmdToolsRoman, [](W& w, A, S s) { w.ToggleRomanNumerals(s); }, nullptr, nullptr},
    {cmdToolsWordWrap, [](W& w, A, S s) { w.ToggleWordWrap(s); }, nullptr, wordWrap},
    {cmdToolsOptions, options, nullptr, nullptr},
    {cmdHelpCallHelp, [](W& w, A, S) { platform::showHelp(w.dialogParent(), 0); }, nullptr, nullptr},
    {cmdHelpAbout, [](W& w, A, S) { ShowAboutBox(w.dialogParent()); }, nullptr, nullptr},
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
