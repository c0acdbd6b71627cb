#pragma once
// The command table: for each of the 41 commands, what it does and the state
// its items show at idle time.  The dispatcher and the idle refresh read it;
// names, captions and the idle-refresh flag come from menus/MenuCommands.h,
// which the table is checked against when it is compiled.
#include <QString>

#include "menus/MenuCommands.h"

class QObject;
class TCommandTarget;

// Runs a command; sender is the item or button that was clicked (or nullptr).
using TCommandHandler = void (*)(TCommandTarget& w, const QString& argument, QObject* sender);
// A state rule read off the editor (and the clipboard).
using TCommandRule = bool (*)(TCommandTarget& w);

struct TCommand {
  TMenuCommand cmd;
  TCommandHandler run;
  TCommandRule enabled;  // nullptr: the command is never disabled
  TCommandRule checked;  // nullptr: the command has no checked state
};

// The row of a command; cmdNone for a value outside the enumeration.
const TCommand& CommandOf(TMenuCommand cmd);
