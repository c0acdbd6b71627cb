#include "menus/HotKeyEdit.h"

#include <QApplication>
#include <QKeyEvent>

#include "menus/KeyNames.h"

THotKeyEdit::THotKeyEdit(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  setContextMenuPolicy(Qt::NoContextMenu);
  setShortCut(0);
}

void THotKeyEdit::setShortCut(quint16 value) {
  FShortCut = value;
  const QKeySequence seq = ShortCutToKeySequence(value);
  setText(seq.isEmpty() ? QStringLiteral("Нет") : seq.toString(QKeySequence::NativeText));
}

bool THotKeyEdit::takeKey(int key, Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers mods = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  if (mods == Qt::ShiftModifier) return false;
  const quint16 sc = KeySequenceToShortCut(
      QKeySequence(QKeyCombination(mods | (modifiers & Qt::KeypadModifier), Qt::Key(key))));
  if (sc == 0) return false;
  setShortCut(sc);
  return true;
}

void THotKeyEdit::keyPressEvent(QKeyEvent* e) {
  const int key = e->key();
  const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
      e->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      // The dialog's: Return applies, Escape closes.
      if (mods == Qt::NoModifier) {
        e->ignore();
        return;
      }
      break;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
      if (mods == Qt::NoModifier) {
        setShortCut(0);
        e->accept();
        return;
      }
      break;
    default:
      break;
  }
  if (!takeKey(key, e->modifiers())) QApplication::beep();
  e->accept();
}
