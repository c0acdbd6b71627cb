#include "core/Colors.h"

#include <QGuiApplication>
#include <QPalette>

QColor ColorToQColor(TColor c) {
  if (IsSystemColor(c)) {
    const QPalette pal = QGuiApplication::palette();
    switch (quint32(c) & 0xFF) {
      case 0:   // scroll bar
      case 15:  // button face
      case 22:  // 3-D light
        return pal.color(QPalette::Button);
      case 1:  // desktop
      case 21: // 3-D dark shadow
        return pal.color(QPalette::Shadow);
      case 2:  // active caption
      case 13: // highlight
      case 27: // gradient active caption
        return pal.color(QPalette::Highlight);
      case 3:  // inactive caption
      case 28:
        return pal.color(QPalette::Inactive, QPalette::Highlight);
      case 4:  // menu background
      case 30: // menu bar
        return pal.color(QPalette::Window);
      case 5:  // window background
        return pal.color(QPalette::Base);
      case 6:  // window frame
        return pal.color(QPalette::Dark);
      case 7:  // menu text
        return pal.color(QPalette::WindowText);
      case 8:  // window text
        return pal.color(QPalette::Text);
      case 9:  // caption text
      case 14: // highlighted text
        return pal.color(QPalette::HighlightedText);
      case 10:
      case 11:
        return pal.color(QPalette::Mid);
      case 12: // application workspace
        return pal.color(QPalette::Dark);
      case 16: // button shadow
        return pal.color(QPalette::Mid);
      case 17: // grey text
        return pal.color(QPalette::Disabled, QPalette::Text);
      case 18: // button text
        return pal.color(QPalette::ButtonText);
      case 19: // inactive caption text
        return pal.color(QPalette::Inactive, QPalette::HighlightedText);
      case 20: // button highlight
        return pal.color(QPalette::Light);
      case 23: // info text
        return pal.color(QPalette::ToolTipText);
      case 24: // info background
        return pal.color(QPalette::ToolTipBase);
      case 26: // hot light
        return pal.color(QPalette::Link);
      case 29: // menu highlight
        return pal.color(QPalette::Highlight);
      default:
        return pal.color(QPalette::WindowText);
    }
  }
  const quint32 v = quint32(c);
  return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

TColor QColorToColor(const QColor& c) { return RGBColor(c.red(), c.green(), c.blue()); }

TFontStyles FontStylesOf(const QFont& f) {
  TFontStyles s = 0;
  if (f.bold()) s |= fsBold;
  if (f.italic()) s |= fsItalic;
  if (f.underline()) s |= fsUnderline;
  if (f.strikeOut()) s |= fsStrikeOut;
  return s;
}

void SetFontStyles(QFont& f, TFontStyles styles) {
  f.setBold(styles & fsBold);
  f.setItalic(styles & fsItalic);
  f.setUnderline(styles & fsUnderline);
  f.setStrikeOut(styles & fsStrikeOut);
}
