#pragma once
// The settings record of the program and its INI file next to the executable.
#include <QList>
#include <QRect>
#include <QString>
#include <QVariant>
#include <functional>
#include <variant>
#include <vector>

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

// How a key's value is read and written.
enum class TSettingType {
  Integer,
  Boolean,     // 1 and 0; any non-zero integer reads as true
  Text,        // as it is
  QuotedText,  // in double quotes, inner quotes doubled, so that edge spaces survive
  Decimal,     // shortest form, the system's decimal separator
  Color,       // an integer; system colours are negative
  FontStyle,   // the style bits as an integer
};

// The options dialog's page that shows a setting; "По умолчанию" restores
// the settings of the visible page.
enum class TOptionsPage { None, General, Additional, Render, Highlight };

// Where a key's value lives in the settings record or the window placement.
using TSettingField = std::variant<bool*, int*, double*, QString*, TFontStyles*>;

// One key of the settings file.
struct TSettingKey {
  QString Section;
  QString Key;
  TSettingType Type;
  // The value of a missing or unreadable key. Invalid for the window's
  // position: the default size centred on the primary screen.
  QVariant Default;
  // What "По умолчанию" restores, where it differs from Default.
  QVariant Reset;
  // The values the program offers (Decimal, Integer) or the longest text
  // (Text kinds); Min == Max: no limit. Reading keeps any readable value.
  double Min = 0;
  double Max = 0;
  TOptionsPage Page = TOptionsPage::None;
  std::function<TSettingField(TOptions&, TWindowPlacement&)> Field;

  QVariant resetValue() const { return Reset.isValid() ? Reset : Default; }
};

// Every key of the settings file in the order it is written.
const std::vector<TSettingKey>& SettingsTable();
// The row of section/key; the table must hold it.
const TSettingKey& SettingKey(const QString& section, const QString& key);

// A key's value in options or placement (style sets as their integer), and back.
QVariant SettingValue(const TSettingKey& key, const TOptions& options, const TWindowPlacement& placement);
void SetSettingValue(const TSettingKey& key, TOptions& options, TWindowPlacement& placement, const QVariant& value);

// Sets the fields the dialog page shows to what "По умолчанию" restores.
void ResetOptionsPage(TOptions& options, TOptionsPage page);

// Reads the file into options (defaults for missing or unreadable values) and
// returns the stored window placement.
TWindowPlacement LoadSettingsFile(const QString& path, TOptions& options);
// Writes options and the placement, every key in table order; keys of other
// programs found in the old file follow ours.
// Returns false (and leaves the old file intact) when writing fails.
bool SaveSettingsFile(const QString& path, const TOptions& options, const TWindowPlacement& placement);

// The frame as it can be restored on the available screen areas: a frame of
// which too little would show on every area (a monitor that was removed, a
// hand-edited file) is moved onto the nearest one, shrunk to fit it if larger.
// Without areas the frame is returned unchanged.
QRect FitFrameOnScreens(const QRect& frame, const QList<QRect>& areas);

// The window-facing forms: apply / take the placement of a top-level window;
// LoadSettings keeps the window on a screen with FitFrameOnScreens.
void LoadSettings(QWidget* window, const QString& path, TOptions& options);
bool SaveSettings(QWidget* window, const QString& path, const TOptions& options);

int FontStylesToInt(TFontStyles styles);
TFontStyles IntToFontStyles(int value);
