#include "menus/KeyNames.h"

namespace {

struct TKeyPair {
  quint8 vk;
  int key;
  bool keypad;
};

// Keys whose Qt code differs from the virtual key code.  Letters, digits and
// function keys are computed.
const TKeyPair KeyTable[] = {
    {8, Qt::Key_Backspace, false},     {9, Qt::Key_Tab, false},          {12, Qt::Key_Clear, false},
    {13, Qt::Key_Return, false},       {19, Qt::Key_Pause, false},       {27, Qt::Key_Escape, false},
    {32, Qt::Key_Space, false},        {33, Qt::Key_PageUp, false},      {34, Qt::Key_PageDown, false},
    {35, Qt::Key_End, false},          {36, Qt::Key_Home, false},        {37, Qt::Key_Left, false},
    {38, Qt::Key_Up, false},           {39, Qt::Key_Right, false},       {40, Qt::Key_Down, false},
    {44, Qt::Key_Print, false},        {45, Qt::Key_Insert, false},      {46, Qt::Key_Delete, false},
    {106, Qt::Key_Asterisk, true},     {107, Qt::Key_Plus, true},        {109, Qt::Key_Minus, true},
    {110, Qt::Key_Period, true},       {111, Qt::Key_Slash, true},       {186, Qt::Key_Semicolon, false},
    {187, Qt::Key_Equal, false},       {188, Qt::Key_Comma, false},      {189, Qt::Key_Minus, false},
    {190, Qt::Key_Period, false},      {191, Qt::Key_Slash, false},      {192, Qt::Key_QuoteLeft, false},
    {219, Qt::Key_BracketLeft, false}, {220, Qt::Key_Backslash, false},  {221, Qt::Key_BracketRight, false},
    {222, Qt::Key_Apostrophe, false},
};

// Shifted characters of the punctuation keys, as Qt reports them when Shift
// is held: the same physical key.
const TKeyPair ShiftedTable[] = {
    {186, Qt::Key_Colon, false},     {187, Qt::Key_Plus, false},      {188, Qt::Key_Less, false},
    {189, Qt::Key_Underscore, false}, {190, Qt::Key_Greater, false},  {191, Qt::Key_Question, false},
    {192, Qt::Key_AsciiTilde, false}, {219, Qt::Key_BraceLeft, false}, {220, Qt::Key_Bar, false},
    {221, Qt::Key_BraceRight, false}, {222, Qt::Key_QuoteDbl, false},  {13, Qt::Key_Enter, true},
    {8, Qt::Key_Backtab, false},
};

int vkToKey(int vk, bool& keypad) {
  keypad = false;
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return vk;
  if (vk >= 112 && vk <= 135) return Qt::Key_F1 + (vk - 112);
  if (vk >= 96 && vk <= 105) {
    keypad = true;
    return Qt::Key_0 + (vk - 96);
  }
  for (const TKeyPair& p : KeyTable)
    if (p.vk == vk) {
      keypad = p.keypad;
      return p.key;
    }
  return 0;
}

int keyToVk(int key, bool keypad) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) return 96 + (key - Qt::Key_0);
    return key;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  if (key == Qt::Key_Enter) return 13;
  for (const TKeyPair& p : KeyTable)
    if (p.key == key && p.keypad == keypad) return p.vk;
  // Shifted punctuation is the key it is typed on; then a keypad flag on a
  // key that has no keypad variant, or the other way round.
  for (const TKeyPair& p : ShiftedTable)
    if (p.key == key) return p.vk;
  for (const TKeyPair& p : KeyTable)
    if (p.key == key) return p.vk;
  return 0;
}

}  // namespace

QKeySequence ShortCutToKeySequence(quint16 shortCut) {
  bool keypad = false;
  const int key = vkToKey(shortCut & 0xFF, keypad);
  if (key == 0) return QKeySequence();
  Qt::KeyboardModifiers mods;
  if (shortCut & scShift) mods |= Qt::ShiftModifier;
  if (shortCut & scCtrl) mods |= Qt::ControlModifier;
  if (shortCut & scAlt) mods |= Qt::AltModifier;
  if (keypad) mods |= Qt::KeypadModifier;
  return QKeySequence(QKeyCombination(mods, Qt::Key(key)));
}

quint16 KeySequenceToShortCut(const QKeySequence& sequence) {
  if (sequence.isEmpty()) return 0;
  const QKeyCombination kc = sequence[0];
  const int vk = keyToVk(kc.key(), kc.keyboardModifiers().testFlag(Qt::KeypadModifier));
  if (vk == 0) return 0;
  quint16 sc = quint16(vk);
  if (kc.keyboardModifiers() & Qt::ShiftModifier) sc |= scShift;
  if (kc.keyboardModifiers() & Qt::ControlModifier) sc |= scCtrl;
  if (kc.keyboardModifiers() & Qt::AltModifier) sc |= scAlt;
  return sc;
}
