#pragma once
// The settings record of the program and its INI file next to the executable.
#include <QList>
#include <QRect>
#include <QString>

#include "core/Colors.h"

class QWidget;

struct TEditorProps {
  bool epWordWrap = false;
  bool epAutoIndent = false;
  int epHeight = 0;
};

struct TFontProps {
  QString fpName;
  int fpSize = 0;
  TColor fpColor = 0;
  TFontStyles fpStyle = 0;
};

struct TEditorColors {
  TColor ecBackground = 0;
  TColor ecActiveLine = 0;
};

struct TRenderProps {
  TFontProps rpFont;
  TColor rpBackColor = 0;
};

struct TRenderMenuProps {
  TFontProps rmFont;
  bool rmUseSysFont = false;
};

struct THighlightProps {
  TColor hpColor = 0;
  TColor hpNumColor = 0;
  TColor hpSymColor = 0;
  TFontStyles hpStyle = 0;
  bool hpEnable = true;  // the codes are coloured from the first start
};

struct TOptions {
  bool SwitchToRus = false;
  bool EscForExit = false;
  QString ItemDivider;
  bool CommaAsSep = false;
  double TolHeight = 0.0;
  int SpellLanguage = 0;  // the language identifier chosen last for spelling, 0 none
  TEditorProps EditorProps;
  TFontProps EditorFont;
  TEditorColors EditorColors;
  TRenderProps RenderProps;
  TRenderMenuProps RenderMenuProps;
  THighlightProps HighlightProps;
};

// The one settings record; all zeroes until LoadSettings fills it.
extern TOptions Options;

// The font a settings entry describes (name, size in points when given, styles).
QFont FontFromProps(const TFontProps& p);

// Window placement as stored in section "Window".
struct TWindowPlacement {
  int State = 0;  // 0 normal, 1 minimised, 2 maximised
  int Left = 0;
  int Top = 0;
  int Width = 608;
  int Height = 384;
};

// The settings file: the executable's name with ".ini", next to it, or
// korvex.ini in the user's configuration folder when installed (platform/Paths.h).
QString SettingsFileName();
// Overrides the settings file (tests, headless use); empty restores the default.
void SetSettingsFileName(const QString& path);

// Reads the file into Options (defaults for missing or unreadable values) and
// returns the stored window placement.
TWindowPlacement LoadSettingsFile(const QString& path);
// Writes Options and the placement, every key in table order.
// Returns false (and leaves the old file intact) when writing fails.
bool SaveSettingsFile(const QString& path, const TWindowPlacement& placement);

// The frame as it can be restored on the available screen areas: a frame of
// which too little would show on every area (a monitor that was removed, a
// hand-edited file) is moved onto the nearest one, shrunk to fit it if larger.
// Without areas the frame is returned unchanged.
QRect FitFrameOnScreens(const QRect& frame, const QList<QRect>& areas);

// The window-facing forms: apply / take the placement of a top-level window;
// LoadSettings keeps the window on a screen with FitFrameOnScreens.
void LoadSettings(QWidget* window);
bool SaveSettings(QWidget* window);

int FontStylesToInt(TFontStyles styles);
TFontStyles IntToFontStyles(int value);
