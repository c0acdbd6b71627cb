#pragma once
// Shortcuts as the menu file stores them: low byte the virtual key code,
// 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt.
#include <QKeySequence>
#include <QtGlobal>

constexpr quint16 scShift = 0x2000;
constexpr quint16 scCtrl = 0x4000;
constexpr quint16 scAlt = 0x8000;

// An empty sequence for 0 or a key code without a Qt key.
QKeySequence ShortCutToKeySequence(quint16 shortCut);
// The first key of the sequence; 0 when it has no virtual key code.
quint16 KeySequenceToShortCut(const QKeySequence& sequence);
