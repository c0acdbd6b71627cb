#pragma once
// Platform services the program relies on, provided on Linux with Qt.
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <functional>

namespace platform {

// --- questions and messages: one seam that tests replace -----------------
// A Yes/No/Cancel question with a question icon and the application title.
QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& text);
// A plain message box (no icon) with the application title.
void showMessage(QWidget* parent, const QString& text);
// The default error display: an error box with the application title.
void showError(QWidget* parent, const QString& text);

struct MessageSeam {
  std::function<QMessageBox::StandardButton(const QString& text)> ask;
  std::function<void(const QString& text)> message;
  std::function<void(const QString& text)> error;
};
// Replaces the message boxes (tests); an empty seam restores them.
void setMessageSeam(const MessageSeam& seam);

// --- application ------------------------------------------------------------
// Catches exceptions thrown by actions at the event-dispatch boundary and shows
// them through the default error display, so no action can end the program.
class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
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

// The help folder next to the executable, set at start.
void setHelpFolder(const QString& folder);
QString helpFolder();
// The page file for a context (0, 240, 260, 270, 290, 300, 320).
QString helpPageFile(int context);
// Opens the in-program help window at a context.
void showHelp(QWidget* parent, int context);
// The help window while it is open (tests), else nullptr.
QWidget* helpWindow();

}  // namespace platform
