#pragma once
// The commands a menu item or toolbar button can carry, with their fixed captions.
#include <QString>
#include <QtGlobal>

enum TMenuCommand : quint8 {
  cmdNone,
  cmdFileNew,
  cmdFileOpen,
  cmdFileSave,
  cmdFileSaveAs,
  cmdFilePrint,
  cmdFileOk,
  cmdFileExit,
  cmdEditUndo,
  cmdEditRedo,
  cmdEditCut,
  cmdEditCopy,
  cmdEditPaste,
  cmdEditDelete,
  cmdEditFind,
  cmdEditFindNext,
  cmdEditFindPrev,
  cmdEditReplace,
  cmdEditSelectAll,
  cmdEditDeleteSymbol,
  cmdEditInsertSpace,
  cmdEditLowerCase,
  cmdEditUpperCase,
  cmdInsertStack,
  cmdInsertThreeStack,
  cmdInsertDataTime,
  cmdInsertTolerance,
  cmdInsertString,
  cmdInsertQuotedString,
  cmdInsertFile,
  cmdToolsRender,
  cmdToolsEditMenus,
  cmdToolsNumbering,
  cmdToolsCharMap,
  cmdToolsExecCalc,
  cmdToolsRecount,
  cmdToolsRoman,
  cmdToolsWordWrap,
  cmdToolsOptions,
  cmdHelpCallHelp,
  cmdHelpAbout,
};

constexpr int MenuCommandCount = 41;

// The Russian caption of a command ("Нет" for cmdNone).
QString MenuCommandCaption(TMenuCommand cmd);
// The enumeration name, e.g. "cmdEditUndo" (used for identifiers).
QString MenuCommandName(TMenuCommand cmd);
// An integer from a file: 0..40 is a command, anything else is cmdNone.
TMenuCommand MenuCommandFromInt(int value);
// Commands whose items are refreshed at idle time.
bool IsStateCommand(TMenuCommand cmd);
