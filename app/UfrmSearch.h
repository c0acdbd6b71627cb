#pragma once
// The search and replace dialogs and the window that confirms each replacement.
#include <QDialog>
#include <QRect>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;

// Moves the combo's text to the top of its list (an entry differing only in
// letter case is replaced by it).  An empty text leaves the list alone.
void UpdateComboHistory(QComboBox* combo);
// Replaces the combo's list by the lines of history, keeping its edit text.
void SetComboHistory(QComboBox* combo, const QString& history);
// The first ten list entries joined with CR LF.
QString ComboHistory(const QComboBox* combo);

class TfrmTextSearch : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmTextSearch(QWidget* parent = nullptr);

  QLabel* lblSearchText = nullptr;
  QComboBox* cbSearchText = nullptr;
  QGroupBox* gbSearchOptions = nullptr;
  QCheckBox* cbSearchCaseSensitive = nullptr;
  QCheckBox* cbSearchWholeWords = nullptr;
  QCheckBox* cbSearchFromCursor = nullptr;
  QCheckBox* cbSearchSelectedOnly = nullptr;
  QGroupBox* rgSearchDirection = nullptr;
  QRadioButton* rbForward = nullptr;
  QRadioButton* rbBackward = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QToolButton* sbtnHelp = nullptr;

  bool SearchBackwards() const;
  void setSearchBackwards(bool value);
  bool SearchCaseSensitive() const;
  void setSearchCaseSensitive(bool value);
  bool SearchFromCursor() const;
  void setSearchFromCursor(bool value);
  bool SearchInSelectionOnly() const;
  void setSearchInSelectionOnly(bool value);
  bool SearchWholeWords() const;
  void setSearchWholeWords(bool value);
  QString SearchText() const;
  void setSearchText(const QString& value);
  QString SearchTextHistory() const;
  void setSearchTextHistory(const QString& value);

  // The direction radio group's item index: 0 forward, 1 backward.
  int directionIndex() const;
  void setDirectionIndex(int index);

  // What closing with OK does before the caller reads the properties.
  virtual void updateHistories();

 protected:
  // Row 0 holds the search text; the replace dialog adds its row below.
  QGridLayout* FTextGrid = nullptr;
  QButtonGroup* FDirection = nullptr;
};

class TfrmReplaceText : public TfrmTextSearch {
  Q_OBJECT
 public:
  explicit TfrmReplaceText(QWidget* parent = nullptr);

  QLabel* lblReplaceText = nullptr;
  QComboBox* cbReplaceText = nullptr;

  QString ReplaceText() const;
  void setReplaceText(const QString& value);
  QString ReplaceTextHistory() const;
  void setReplaceTextHistory(const QString& value);

  void updateHistories() override;
};

class TfrmConfirmReplace : public QDialog {
  Q_OBJECT
 public:
  // The dialog's results, one per button; Rejected (0) means cancel.
  enum TConfirmResult { crReplace = 10, crSkip = 11, crReplaceAll = 12 };

  explicit TfrmConfirmReplace(QWidget* parent = nullptr);

  QLabel* Image1 = nullptr;
  QLabel* lblConfirmation = nullptr;
  QPushButton* btnReplace = nullptr;
  QPushButton* btnSkip = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnReplaceAll = nullptr;

  // Sets the question and places the window next to the occurrence: centred
  // or kept inside AEditorRect horizontally, above the line (Y1) when the line
  // bottom (Y2) lies in the lower third of the rectangle, else below it.
  void PrepareShow(const QRect& AEditorRect, int X, int Y1, int Y2, const QString& AReplaceText);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void place();
  // The last placement asked for, and the outer size it was computed with:
  // before its first showing the window's frame is not known yet.
  QRect FEditorRect;
  int FX = 0, FY1 = 0, FY2 = 0;
  QSize FPlacedSize;
};
