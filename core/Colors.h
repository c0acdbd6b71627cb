#pragma once
// Colours and font styles as the settings file and the renderer store them.
#include <QColor>
#include <QFont>
#include <QtGlobal>

// 32-bit colour: red in the low byte, then green, then blue.  A value whose
// high byte is 0xFF is a system colour with its index in the low byte.
using TColor = qint32;

constexpr TColor clSystemMask = static_cast<TColor>(0xFF000000u);
constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000Fu);
constexpr TColor clMenu = static_cast<TColor>(0xFF000004u);
constexpr TColor clWindow = static_cast<TColor>(0xFF000005u);
constexpr TColor clMenuText = static_cast<TColor>(0xFF000007u);
constexpr TColor clWindowText = static_cast<TColor>(0xFF000008u);
constexpr TColor clHighlight = static_cast<TColor>(0xFF00000Du);
constexpr TColor clHighlightText = static_cast<TColor>(0xFF00000Eu);

constexpr TColor RGBColor(int r, int g, int b) {
  return static_cast<TColor>((quint32(r) & 0xFF) | ((quint32(g) & 0xFF) << 8) | ((quint32(b) & 0xFF) << 16));
}

inline bool IsSystemColor(TColor c) { return (quint32(c) & 0xFF000000u) == 0xFF000000u; }

// Resolves system colours through the application palette.
QColor ColorToQColor(TColor c);
// The exact RGB colour; never a system colour.
TColor QColorToColor(const QColor& c);

// Font style set, stored as bits 1 bold, 2 italic, 4 underline, 8 strike-out.
enum TFontStyle : quint8 { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = quint8;

// The style set of a font, and a font given a style set (bold, italic,
// underline and strike-out all set or cleared).
TFontStyles FontStylesOf(const QFont& f);
void SetFontStyles(QFont& f, TFontStyles styles);
