#pragma once
// The options dialog: edits a settings record and writes it back on OK.
#include <QDialog>
#include <QLabel>
#include <QSpinBox>

#include "app/General.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

// A filled rectangle showing one colour; a mouse press on it is reported
// unless it only shows the colour.
class TColorShape : public QWidget {
  Q_OBJECT
 public:
  explicit TColorShape(QWidget* parent = nullptr);

  TColor color() const { return FColor; }
  void setColor(TColor color);
  bool clickable() const { return FClickable; }
  void setClickable(bool on) { FClickable = on; }

  QSize sizeHint() const override { return QSize(40, 17); }

 signals:
  void mouseDown();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  TColor FColor = 0;
  bool FClickable = true;
};

// A label that shows a font sample; it keeps the font colour and its
// background as stored colours so that system colours survive unresolved.
class TFontSample : public QLabel {
  Q_OBJECT
 public:
  explicit TFontSample(QWidget* parent = nullptr);

  TColor fontColor() const { return FFontColor; }
  TColor backColor() const { return FBackColor; }
  void setSampleColors(TColor fontColor, TColor backColor);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  TColor FFontColor = 0;
  TColor FBackColor = 0;
};

// The up-down of the tolerance height: only the arrows; its position is shown
// by the read-only field next to it.
class TPositionUpDown : public QSpinBox {
  Q_OBJECT
 public:
  explicit TPositionUpDown(QWidget* parent = nullptr);
  int position() const { return value(); }
  void setPosition(int value) { setValue(value); }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }
};

class TfrmOptions : public QDialog {
  Q_OBJECT
 public:
  // options: the record the dialog shows and, on StoreToOptions, changes.
  explicit TfrmOptions(TOptions& options, QWidget* parent = nullptr);

  void LoadFromOptions();
  void StoreToOptions();
  void UpdateTolHeightText();
  // Restores the defaults of the visible page only.
  void DefaultButtonClick();
  // Runs the font dialog for one of the three sample labels.
  void FontLabelClick(TFontSample* label);
  // Runs the colour dialog for a swatch that reacts to clicks.
  void ColorShapeMouseDown(TColorShape* shape);
  void udTolHeightClick();
  void sbtnHelpClick();

  // Where the two click handlers end after their dialog was confirmed.
  void setLabelFont(QLabel* label, const QFont& font, TColor color);
  void setSwatchColor(TColorShape* shape, TColor color);

  // The separator radio group's item index: 0 point, 1 comma.
  int dividerIndex() const;
  void setDividerIndex(int index);

  QTabWidget* PageControl = nullptr;
  QWidget* GeneralSheet = nullptr;
  QWidget* AddSheet = nullptr;
  QWidget* RenderSheet = nullptr;
  QWidget* HighlightSheet = nullptr;

  QCheckBox* SwitchLangCheck = nullptr;
  QCheckBox* EscExitCheck = nullptr;
  QCheckBox* chkbAutoIndent = nullptr;
  TFontSample* FontLabel = nullptr;
  TColorShape* shBackColor = nullptr;
  TColorShape* shActiveLineColor = nullptr;
  QGroupBox* DividerRadioGroup = nullptr;

  QLineEdit* SepNumEdit = nullptr;
  QLineEdit* edTolHeight = nullptr;
  TPositionUpDown* udTolHeight = nullptr;

  TFontSample* lblRenderFont = nullptr;
  TColorShape* shRenderColor = nullptr;
  TFontSample* lblMenuFont = nullptr;
  QCheckBox* ckbUseSysFont = nullptr;

  QCheckBox* chbHighlightEnable = nullptr;
  TColorShape* shHighlightColor = nullptr;
  TColorShape* spNumberColor = nullptr;
  TColorShape* shSymbolsColor = nullptr;
  QCheckBox* chbBold = nullptr;

  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QPushButton* DefaultButton = nullptr;
  QToolButton* sbtnHelp = nullptr;

 private:
  void buildGeneralSheet();
  void buildAddSheet();
  void buildRenderSheet();
  void buildHighlightSheet();
  void setTolHeight(double height);
  void loadSample(TFontSample* label, const TFontProps& props, TColor backColor);
  TFontProps sampleProps(const TFontSample* label) const;

  TOptions& Options;
  QButtonGroup* FDivider = nullptr;
  QRadioButton* FDividerItems[2] = {nullptr, nullptr};
};

// Shows the dialog modally; true (and options changed) only on OK.
bool ExecuteOptionsDialog(TOptions& options, QWidget* parent);
