#pragma once
// Platform services the program relies on, provided on Linux with Qt.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QProxyStyle>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

class QDialog;

namespace platform {

// --- questions and messages: one seam that tests replace -----------------
// A Yes/No/Cancel question with a question icon and the application title.
QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& text);
// A Yes/No question, the same way; Return gives defaultButton.  The seam's
// ask answers it too (any answer but Yes counts as No).
bool askYesNo(QWidget* parent, const QString& text, QMessageBox::StandardButton defaultButton);
// A plain message box (no icon) with the application title.
void showMessage(QWidget* parent, const QString& text);
// The default error display: an error box with the application title.
void showError(QWidget* parent, const QString& text);

struct MessageSeam {
  std::function<QMessageBox::StandardButton(const QString& text)> ask;
  std::function<void(const QString& text)> message;
  std::function<void(const QString& text)> error;
  std::function<void()> beep;
};
// Replaces the message boxes and the beep (tests); an empty seam restores them.
void setMessageSeam(const MessageSeam& seam);

// --- modal dialogs and file choosers: one seam that tests script ------------
// Opens a modal dialog and returns what exec() returns (QDialog::Accepted or
// QDialog::Rejected).  Every modal dialog of the program opens through here.
int execDialog(QDialog* dlg);

// What the program asks of a file chooser.
struct FileChoice {
  bool save = false;          // a file to write (may not exist yet), else one to open
  QString caption;
  QString dir;                // folder shown first
  QStringList filters;        // "Текст (*.txt)", ...; empty: all files
  QString defaultSuffix;      // added to a typed name without one (saving)
  QString selectedFile;       // name proposed in the chooser
};
// Lets the user choose a file; an empty string when the choice is cancelled.
QString chooseFile(QWidget* parent, const FileChoice& choice);

// A script standing in for the user (tests).  While a function is set, the
// matching entry calls it and never exec():
// - dialog gets the dialog already shown, as exec() would show it; it sets the
//   controls and may press buttons, then returns Accepted or Rejected.  A
//   dialog the script left open is closed with that result (done()), so its
//   accept()/done() logic runs as when the user closes it.
// - file gets the request and returns the chosen path ("" = cancelled).
struct DialogSeam {
  std::function<int(QDialog* dlg)> dialog;
  std::function<QString(const FileChoice& choice)> file;
};
// Installs a script; an empty seam restores the real dialogs.
void setDialogSeam(const DialogSeam& seam);
DialogSeam dialogSeam();

// Installs a script for the lifetime of the object and then restores the one
// installed before (tests).
class ScopedDialogScript {
 public:
  explicit ScopedDialogScript(const DialogSeam& seam) : FPrevious(dialogSeam()) { setDialogSeam(seam); }
  ~ScopedDialogScript() { setDialogSeam(FPrevious); }
  ScopedDialogScript(const ScopedDialogScript&) = delete;
  ScopedDialogScript& operator=(const ScopedDialogScript&) = delete;

 private:
  DialogSeam FPrevious;
};

// --- application ------------------------------------------------------------
// What the error display shows for an exception: its text when it is one of
// the program's own (Russian) messages, else marked as an internal fault.
QString errorText(const std::exception& e);

// Catches exceptions thrown by actions at the event-dispatch boundary and shows
// them through the default error display, so no action can end the program.
class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// The icon of every dialog's help button: a question mark.  The desktop icon
// theme may draw help as a life buoy, which reads as anything but help.
QIcon helpIcon();
// A style that gives the help-button icons as helpIcon() and leaves the rest
// to the style it wraps (the application's default style when none is given).
// Application installs one.
class HelpIconStyle : public QProxyStyle {
 public:
  explicit HelpIconStyle(QStyle* base = nullptr);
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;
};

// Calls handler whenever the event loop is about to wait for events (the
// application is idle).  Re-entrant calls are dropped.
void setIdleHandler(std::function<void()> handler);
// Runs the idle handler now (tests).
void runIdleHandler();

// --- keyboard -------------------------------------------------------------
// The Insert key's application-wide toggle state, flipped by each Insert press.
bool insertToggled();
void setInsertToggled(bool on);
// Locks the Russian XKB group when one is configured; false when none.
bool activateRussianLayout();
// The information beep.
void beep();

// --- system programs and help ---------------------------------------------
enum class SystemProgram { CharMap, Calculator };
// Starts the first installed character map or calculator, detached; shows a
// message when none is installed.  Returns whether one was started.
bool openSystemProgram(QWidget* parent, SystemProgram which);

// The help folder: Help/ of the data folder (platform/Paths.h) unless set.
void setHelpFolder(const QString& folder);
QString helpFolder();
// The page file for a context (0, 240, 260, 270, 290, 300, 320).
QString helpPageFile(int context);
// Opens the in-program help window at a context.
void showHelp(QWidget* parent, int context);
// The help window while it is open (tests), else nullptr.
QWidget* helpWindow();

}  // namespace platform
