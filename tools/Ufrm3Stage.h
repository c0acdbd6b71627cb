#pragma once
// The three-level stack dialog: a middle term followed by an upper and a lower
// value stacked after it, each part with its own relative height.
#include <QDialog>
#include <QLine>
#include <QPoint>
#include <QSpinBox>
#include <QString>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

// A read-only field with up/down arrows holding a position; the field shows
// position / 10 in the shortest form with the system's decimal separator.
class TTenthsUpDown : public QSpinBox {
  Q_OBJECT
 public:
  explicit TTenthsUpDown(QWidget* parent = nullptr);
  // The text part of the control (the field the arrows belong to).
  QLineEdit* field() const { return lineEdit(); }

 protected:
  QString textFromValue(int value) const override;
  int valueFromText(const QString& text) const override;
  QValidator::State validate(QString& input, int& pos) const override;
};

class Tfrm3Stage : public QDialog {
  Q_OBJECT
 public:
  // commaAsSep: the comma-separator setting, applied to the chosen presets.
  explicit Tfrm3Stage(bool commaAsSep, QWidget* parent = nullptr);

  QComboBox* EditCenter = nullptr;
  QLineEdit* EditUp = nullptr;
  QToolButton* EditUpBtn = nullptr;
  QLineEdit* EditDown = nullptr;
  QToolButton* EditDownBtn = nullptr;
  QMenu* UpPopupMenu = nullptr;
  QMenu* DownPopupMenu = nullptr;
  QGroupBox* gbSettings = nullptr;
  QCheckBox* SepCheckBox = nullptr;
  QLabel* lblHMiddle = nullptr;
  TTenthsUpDown* HMiddleUpDown = nullptr;
  QLineEdit* HMiddleEdit = nullptr;
  QLabel* lblHo = nullptr;
  TTenthsUpDown* HoUpDown = nullptr;
  QLineEdit* HoEdit = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QToolButton* sbtnHelp = nullptr;

  // The fragment the controls describe.
  QString Build3StageMText() const;

  // Handlers (public so that tests drive them as a click would).
  // Back to the starting heights and no fraction bar; runs on every activation.
  void FormActivate();
  // Puts a preset caption into field, with the separator of the setting.
  void ChoosePreset(QLineEdit* field, const QString& caption);
  // Where menu opens so that its right edge meets field's bottom right corner.
  static QPoint PopupPosition(const QLineEdit* field, const QMenu* menu);
  // The fraction-bar line in dialog coordinates: 4 px above EditDown.
  QLine SeparatorLine() const;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // The steps of building the window: the three terms, then their settings.
  QGridLayout* buildFields();
  QGroupBox* buildSettings();
  QMenu* makePresetMenu(QLineEdit* field, const char* const (*items)[2], int count);
  void popupPresets(QLineEdit* field, QMenu* menu);

  bool FCommaAsSep = false;
};

// Opens the dialog with S in the middle term, then always replaces S with the
// built fragment.  True only when the dialog was closed with OK.
bool Execute3Stage(QString& S, bool commaAsSep, QWidget* parent = nullptr);
