#pragma once
// The about box: program icon, product name, purpose and version.
#include <QDialog>

class QLabel;
class QPushButton;

class TfrmAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmAboutBox(QWidget* parent = nullptr);

  QLabel* ProgramIcon = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Comments = nullptr;
  QLabel* Version = nullptr;
  QPushButton* OKButton = nullptr;
};

// Shows the about box modally and frees it.
void ShowAboutBox(QWidget* parent);
