#pragma once
// Text tools of the markup editor and the insertion rule shared by every
// command that inserts text.
//
// Whole-text tools (DeleteFirstSymbol, InsertLeadingSpace, NumberParagraphs)
// rewrite the lines as one undo step that sets the modified flag and keeps the
// earlier history; they do not fire the change notification, so the caller
// re-renders the preview once afterwards.  Selection tools (ChangeCase, Roman
// typing, InsertAtCaret) edit the selection through the editor.
#include <QChar>
#include <QString>

#include "core/Numbers.h"

class TEditor;

// "I" .. "IX" for the digits 1 .. 9.
extern const QString RomanDigits[9];

// Replaces the selection by S.  The first "~" in S is removed and the caret is
// left where it stood; without one the caret ends after the inserted text.
void InsertAtCaret(TEditor& editor, const QString& S);

// Removes the first character of every line; the caret goes to the start.
void DeleteFirstSymbol(TEditor& editor);
// Puts a space before every line, empty lines included; caret to the start.
void InsertLeadingSpace(TEditor& editor);
// Numbers every line "1" + sep, "2" + sep, ...  An old prefix whose separator
// starts within the first four characters is dropped, so renumbering does not
// pile numbers up.  An empty separator is never found.
void NumberParagraphs(TEditor& editor, const QString& sep);
// One line of NumberParagraphs: number is 1-based.
QString NumberedLine(const QString& line, int number, const QString& sep);

// Lower- or upper-cases the selection (Unicode case mapping).  Nothing happens
// without a selection.
void ChangeCase(TEditor& editor, bool toLower);

// Wraps selText in argument: split at the first "~" (which is kept, for
// InsertAtCaret to place the caret there), else in the middle.
QString EncloseText(const QString& selText, const QString& argument);

// Roman typing mode: a key 1 .. 9 inserts its numeral through InsertAtCaret and
// is cleared (returns true); every other key is left to be typed.
bool RomanKeyPress(TEditor& editor, QChar& key);
