#include "menus/MenuTree.h"

// ---------------------------------------------------------------------------
// Names

TMenuElement MenuElementOf(QStringView localName) {
  if (localName == QLatin1String("ITEM")) return meItem;
  if (localName == QLatin1String("MAINMENU")) return meMainMenu;
  if (localName == QLatin1String("POPUPMENU")) return mePopupMenu;
  if (localName == QLatin1String("TOOLBAR")) return meToolBar;
  return meOther;
}

QString MenuSectionName(TMenuElement element) {
  switch (element) {
    case meMainMenu:
      return QStringLiteral("MAINMENU");
    case mePopupMenu:
      return QStringLiteral("POPUPMENU");
    case meToolBar:
      return QStringLiteral("TOOLBAR");
    default:
      return QString();
  }
}

TMenuElement MenuSectionOf(const QString& caption) {
  const TMenuElement e = MenuElementOf(caption);
  return e == meItem ? meOther : e;
}

const QString& MenuItemAttrName(int i) {
  static const QString names[MenuItemAttrCount] = {
      QStringLiteral("CAPTION"),    QStringLiteral("COMMAND"), QStringLiteral("ARGUMENT"), QStringLiteral("HINT"),
      QStringLiteral("SHOWHINT"),   QStringLiteral("BTNMENU"), QStringLiteral("IMAGEINDEX"),
      QStringLiteral("BREAK"),      QStringLiteral("SHORTCUT"), QStringLiteral("MTEXT"),
  };
  return names[i];
}

bool TMenuItemProps::operator==(const TMenuItemProps& o) const {
  return Caption == o.Caption && Command == o.Command && Argument == o.Argument && Hint == o.Hint &&
         ShowHint == o.ShowHint && BtnMenu == o.BtnMenu && ImageIndex == o.ImageIndex && Break == o.Break &&
         ShortCut == o.ShortCut && AsMText == o.AsMText;
}
