#pragma once
// What the program's dialogs share: a fixed frame and the row of buttons
// under their controls with the help button at its left.
#include <QHBoxLayout>
#include <QString>

class QDialog;
class QPushButton;
class QToolButton;

namespace platform {

// A title and a close box, no system menu; with a layout, the dialog's size
// is that of its layout (minimum = maximum, so the window manager offers
// neither resizing nor maximising).  Call once the layout is built.
void setFixedDialogFrame(QDialog* dialog);

// The button row: the help button first (it opens help page helpContext),
// then whatever the dialog adds; addStretch() before the buttons that sit at
// the right.
class TButtonRow : public QHBoxLayout {
 public:
  enum HelpFocus { HelpTakesFocus, HelpNoFocus };
  TButtonRow(QDialog* dialog, int helpContext, HelpFocus focus = HelpTakesFocus);

  QToolButton* helpButton() const { return FHelp; }
  // A push button named name, with its hint when one is given, added to the row.
  QPushButton* addButton(const char* name, const QString& caption, const QString& hint = QString());
  // The default button, which accepts the dialog.
  QPushButton* addOk(const char* name, const QString& hint = QString());
  // The button that rejects the dialog.
  QPushButton* addCancel(const char* name, const QString& hint = QString());

 private:
  QDialog* FDialog;
  QToolButton* FHelp;
};

}  // namespace platform
