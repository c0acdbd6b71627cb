#pragma once
// Menu items that show their argument rendered as MText instead of a caption.
#include <QFont>
#include <QHash>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QSize>
#include <QStyleOptionMenuItem>
#include <memory>

#include "core/Colors.h"
#include "mtext/zorAcCanvas.h"
#include "mtext/zorAcMtextRender.h"

class TAcMtextMenu;

// What the drawer needs of the menus it draws in; the menus built from the
// menu file provide it, so the drawer knows nothing of how they are built.
// An item that may show its caption as MText:
class TMtextCaption {
 public:
  virtual ~TMtextCaption() = default;
  // False for a separator and for an item shown by its plain caption.
  virtual bool showsMtext() const = 0;
  virtual QString mtext() const = 0;
};
// A menu that keeps its items' sizes and measures them again when told:
class TMtextMenuHost {
 public:
  virtual ~TMtextMenuHost() = default;
  virtual void remeasure() = 0;
};

// Measures and draws the captions of MText items through its drawer; every
// other part of the item is the base style's.  Each drawer has one; a menu
// drawn with it shows MText.
class TMtextMenuStyle : public QProxyStyle {
  Q_OBJECT
 public:
  explicit TMtextMenuStyle(TAcMtextMenu* drawer);
  TAcMtextMenu* drawer() const { return FDrawer; }
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;

  // The style option's text of an MText item carries its MText behind a marker.
  static QString encode(const QString& mtext, const QString& shortcutText);
  static bool decode(const QString& text, QString* mtext, QString* shortcutText);
  // Left edge of the caption within an item rectangle.
  int captionLeft(const QStyleOptionMenuItem& option, const QWidget* widget) const;
  QColor itemBackground(const QStyleOptionMenuItem& plain, int captionLeft, const QWidget* widget) const;

 private:
  TAcMtextMenu* const FDrawer;
  mutable QHash<QString, int> FCaptionOffsets;  // by item layout and font
};

// The MText menu drawer of a window: its font and the bitmap shared by every
// measuring and drawing of an MText caption.  It is attached to the menu bar
// it is made for; the menu builder finds it there and hands it its menus.
class TAcMtextMenu {
 public:
  explicit TAcMtextMenu(QMenuBar* AMenu);
  ~TAcMtextMenu();
  TAcMtextMenu(const TAcMtextMenu&) = delete;
  TAcMtextMenu& operator=(const TAcMtextMenu&) = delete;

  // Size callback for RenderMText: grows the bitmap by the asked value plus
  // the old size plus 1 when it is smaller than the value.
  bool AdjustBitmapSize(int AValue, TResizeType AResizeType);
  // The font of MText captions (size in points), then everything re-measured.
  void SetMtextMenuFont(const QString& AName, int ASize, TColor AColor, TFontStyles AStyle);
  // Back to the system menu font in the menu-text colour.
  void ResetMtextMenuFont();
  // Widest and tallest MText caption below the main menu's bar.
  void CalcMaxSize();

  // The drawer attached to the bar (the last one made for it and not yet
  // destroyed), or nullptr.
  static TAcMtextMenu* of(const QMenuBar* bar);
  // The style menus are given to show MText through this drawer; it goes
  // with the drawer, and the menus then fall back to the application's.
  TMtextMenuStyle* style() const { return FStyle.get(); }

  QMenuBar* Menu() const { return FMenu; }
  const QFont& Font() const { return FFont; }
  TColor FontColor() const { return FFontColor; }
  TCanvas& Bitmap() { return FBitmap; }
  int MaxWidth() const { return FMaxWidth; }
  int MaxHeight() const { return FMaxHeight; }

  // Renders the caption into the shared bitmap, which ends up the rendered
  // size (at least 1 x 1); returns that size.  Selected: selection colour behind the
  // highlighted-text colour; otherwise menu colour and the drawer's colour.
  // A valid background replaces the selection or menu colour behind the text
  // (the colour the style really paints the item with).
  QSize renderCaption(const QString& mtext, bool selected, const QColor& background = QColor());
  // The caption's size as the menu lays it out: rendered width, height + 2.
  QSize captionSize(const QString& mtext);

 private:
  void applyFont(TColor color, const QString& mtext);
  void sizeBitmap(int w, int h);
  void remeasureMenus();

  QPointer<QMenuBar> FMenu;
  std::unique_ptr<TMtextMenuStyle> FStyle;
  QFont FFont;
  TColor FFontColor = clMenuText;
  TCanvas FBitmap;
  int FMaxWidth = 0;
  int FMaxHeight = 0;
};
