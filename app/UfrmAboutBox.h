#pragma once
// The about box: program icon, product name, purpose and version.
#include <QDialog>

class TfrmAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmAboutBox(QWidget* parent = nullptr);
};

// Shows the about box modally and frees it.
void ShowAboutBox(QWidget* parent);
