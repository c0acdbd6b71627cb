#include "platform/Platform.h"
#include "platform/Paths.h"

#include <QAbstractEventDispatcher>
#include <new>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLibrary>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <exception>

namespace platform {

namespace {
MessageSeam gSeam;
DialogSeam gDialogSeam;
std::function<void()> gIdleHandler;
bool gInIdle = false;
bool gInsertToggled = false;
QString gHelpFolder;
QMetaObject::Connection gIdleConnection;

QString appTitle() {
  const QString t = QCoreApplication::applicationName();
  return t.isEmpty() ? QStringLiteral("Korvex") : t;
}
}  // namespace

QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& text) {
  if (gSeam.ask) return gSeam.ask(text);
  QMessageBox box(QMessageBox::Question, appTitle(), text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
  box.setDefaultButton(QMessageBox::Yes);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool askYesNo(QWidget* parent, const QString& text, QMessageBox::StandardButton defaultButton) {
  if (gSeam.ask) return gSeam.ask(text) == QMessageBox::Yes;
  QMessageBox box(QMessageBox::Question, appTitle(), text, QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(defaultButton);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void showMessage(QWidget* parent, const QString& text) {
  if (gSeam.message) {
    gSeam.message(text);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, appTitle(), text, QMessageBox::Ok, parent);
  box.exec();
}

void showError(QWidget* parent, const QString& text) {
  if (gSeam.error) {
    gSeam.error(text);
    return;
  }
  QMessageBox box(QMessageBox::Critical, appTitle(), text, QMessageBox::Ok, parent);
  box.exec();
}

void setMessageSeam(const MessageSeam& seam) { gSeam = seam; }

int execDialog(QDialog* dlg) {
  if (!gDialogSeam.dialog) return dlg->exec();
  // Copied: the script may install another one while it runs.
  const auto script = gDialogSeam.dialog;
  QPointer<QDialog> guard(dlg);
  dlg->show();
  const int result = script(dlg);
  if (guard && guard->isVisible()) guard->done(result);
  return result;
}

QString chooseFile(QWidget* parent, const FileChoice& choice) {
  if (gDialogSeam.file) {
    const auto script = gDialogSeam.file;
    return script(choice);
  }
  QFileDialog dlg(parent, choice.caption, choice.dir);
  if (!choice.filters.isEmpty()) dlg.setNameFilters(choice.filters);
  dlg.setDefaultSuffix(choice.defaultSuffix);
  if (!choice.selectedFile.isEmpty()) dlg.selectFile(choice.selectedFile);
  dlg.setSizeGripEnabled(true);
  dlg.setAcceptMode(choice.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(choice.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (execDialog(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
  return dlg.selectedFiles().first();
}

void setDialogSeam(const DialogSeam& seam) { gDialogSeam = seam; }
DialogSeam dialogSeam() { return gDialogSeam; }

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setStyle(new HelpIconStyle(QStyleFactory::create(style()->name())));
}

QIcon helpIcon() {
  QIcon icon;
  for (int size : {16, 20, 24, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2a, 0x6f, 0xc9));
    p.drawEllipse(QRectF(0.5, 0.5, size - 1, size - 1));
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPixelSize(qRound(size * 0.75));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("?"));
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

HelpIconStyle::HelpIconStyle(QStyle* base) : QProxyStyle(base) {}

QIcon HelpIconStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
  if (icon == SP_DialogHelpButton || icon == SP_TitleBarContextHelpButton) return helpIcon();
  return QProxyStyle::standardIcon(icon, option, widget);
}

QString errorText(const std::exception& e) {
  const QString text = QString::fromUtf8(e.what());
  // The program's own errors are Russian; one that is not came from a library
  // (an index check, a conversion) and means a fault of the program itself.
  for (const QChar c : text)
    if (c.script() == QChar::Script_Cyrillic) return text;
  return QStringLiteral("Внутренняя ошибка программы: %1").arg(text);
}

bool Application::notify(QObject* receiver, QEvent* event) {
  // The Insert key has no system toggle here: the application keeps one.
  if (event->type() == QEvent::KeyPress) {
    auto* ke = static_cast<QKeyEvent*>(event);
    if (ke->key() == Qt::Key_Insert && ke->modifiers() == Qt::NoModifier && !ke->isAutoRepeat() &&
        receiver->isWidgetType()) {
      // Count each press once: it reaches the focus widget (or, with none, its
      // window) once, and travels to the parents inside that one delivery.
      // Key events forwarded to other widgets are not new presses.
      QWidget* focus = QApplication::focusWidget();
      // In a dialog Insert is that dialog's key (the menu editor adds an
      // element there); the editor's insert mode stays as it was.
      const bool inDialog = qobject_cast<QDialog*>((focus ? focus : static_cast<QWidget*>(receiver))->window());
      if (!inDialog && (receiver == focus || (!focus && static_cast<QWidget*>(receiver)->isWindow())))
        gInsertToggled = !gInsertToggled;
    }
  }
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    showError(activeWindow(), QStringLiteral("Недостаточно памяти для этой операции."));
  } catch (const std::exception& e) {
    showError(activeWindow(), errorText(e));
  } catch (...) {
    showError(activeWindow(), QStringLiteral("Неизвестная ошибка"));
  }
  return false;
}

void setIdleHandler(std::function<void()> handler) {
  gIdleHandler = std::move(handler);
  if (!gIdleConnection) {
    if (auto* disp = QAbstractEventDispatcher::instance()) {
      gIdleConnection = QObject::connect(disp, &QAbstractEventDispatcher::aboutToBlock, [] { runIdleHandler(); });
    }
  }
}

void runIdleHandler() {
  if (gInIdle || !gIdleHandler) return;
  gInIdle = true;
  try {
    gIdleHandler();
  } catch (...) {
    gInIdle = false;
    throw;
  }
  gInIdle = false;
}

bool insertToggled() { return gInsertToggled; }
void setInsertToggled(bool on) { gInsertToggled = on; }

bool activateRussianLayout() {
  // X11 with XKB: the configured layouts are the XKB groups in order; lock the
  // one named "ru".  libX11 is opened at run time so that the program needs no
  // X11 development files and still runs where there is no X server.
  if (qEnvironmentVariableIsEmpty("DISPLAY")) return false;
  const QString setxkbmap = QStandardPaths::findExecutable(QStringLiteral("setxkbmap"));
  if (setxkbmap.isEmpty()) return false;
  QProcess p;
  p.start(setxkbmap, {QStringLiteral("-query")});
  if (!p.waitForFinished(1000)) {
    p.kill();
    return false;
  }
  int group = -1;
  const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
  for (const QString& line : out.split('\n')) {
    if (line.startsWith(QLatin1String("layout:"))) {
      const QStringList layouts = line.mid(7).trimmed().split(',');
      for (int i = 0; i < layouts.size(); ++i)
        if (layouts[i].trimmed() == QLatin1String("ru")) group = i;
    }
  }
  if (group < 0) return false;
  QLibrary x11(QStringLiteral("X11"), 6);
  using OpenFn = void* (*)(const char*);
  using LockFn = int (*)(void*, unsigned int, unsigned int);
  using DisplayFn = int (*)(void*);
  auto open = reinterpret_cast<OpenFn>(x11.resolve("XOpenDisplay"));
  auto lock = reinterpret_cast<LockFn>(x11.resolve("XkbLockGroup"));
  auto flush = reinterpret_cast<DisplayFn>(x11.resolve("XFlush"));
  auto close = reinterpret_cast<DisplayFn>(x11.resolve("XCloseDisplay"));
  if (!open || !lock || !flush || !close) return false;
  void* dpy = open(nullptr);
  if (!dpy) return false;
  const unsigned int XkbUseCoreKbd = 0x0100;
  const bool ok = lock(dpy, XkbUseCoreKbd, unsigned(group)) != 0;
  flush(dpy);
  close(dpy);
  return ok;
}

void beep() {
  if (gSeam.beep)
    gSeam.beep();
  else
    QApplication::beep();
}

bool openSystemProgram(QWidget* parent, SystemProgram which) {
  const QStringList candidates =
      which == SystemProgram::CharMap
          ? QStringList{"gucharmap", "gnome-characters", "kcharselect", "charmap"}
          : QStringList{"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk",
                        "xcalc"};
  for (const QString& name : candidates) {
    const QString exe = QStandardPaths::findExecutable(name);
    if (!exe.isEmpty() && QProcess::startDetached(exe, {})) return true;
  }
  showMessage(parent, which == SystemProgram::CharMap
                          ? QStringLiteral("Не найдена программа «Таблица символов» (например, gucharmap).")
                          : QStringLiteral("Не найдена программа «Калькулятор» (например, gnome-calculator)."));
  return false;
}

void setHelpFolder(const QString& folder) { gHelpFolder = folder; }

QString helpFolder() {
  if (!gHelpFolder.isEmpty()) return gHelpFolder;
  return programPaths().HelpFolder;
}

QString helpPageFile(int context) {
  return QDir(helpFolder()).filePath(QString::number(context) + QStringLiteral(".html"));
}

namespace {
class THelpWindow : public QDialog {
 public:
  explicit THelpWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Справка"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(720, 560);
    auto* lay = new QVBoxLayout(this);
    FBrowser = new QTextBrowser(this);
    FBrowser->setObjectName(QStringLiteral("HelpBrowser"));
    FBrowser->setOpenExternalLinks(false);
    FBrowser->setSearchPaths({helpFolder()});
    lay->addWidget(FBrowser);
    auto* buttons = new QHBoxLayout;
    auto* back = new QPushButton(QStringLiteral("Назад"), this);
    auto* home = new QPushButton(QStringLiteral("Содержание"), this);
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    buttons->addWidget(back);
    buttons->addWidget(home);
    buttons->addStretch();
    buttons->addWidget(close);
    lay->addLayout(buttons);
    connect(back, &QPushButton::clicked, FBrowser, &QTextBrowser::backward);
    // Nothing to go back to until a link was followed.
    back->setObjectName(QStringLiteral("HelpBack"));
    back->setEnabled(false);
    connect(FBrowser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(home, &QPushButton::clicked, this, [this] { openAt(0); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
  }
  void openAt(int context) {
    const QString file = helpPageFile(context);
    if (QFileInfo::exists(file)) {
      FBrowser->setSource(QUrl::fromLocalFile(file));
    } else {
      FBrowser->setHtml(QStringLiteral("<h1>Справка</h1><p>Страница справки не найдена: %1</p>")
                            .arg(file.toHtmlEscaped()));
    }
  }
  QTextBrowser* FBrowser;
};
QPointer<THelpWindow> gHelpWindow;
}  // namespace

void showHelp(QWidget* parent, int context) {
  if (!gHelpWindow) gHelpWindow = new THelpWindow(parent ? parent->window() : nullptr);
  gHelpWindow->openAt(context);
  gHelpWindow->show();
  gHelpWindow->raise();
  gHelpWindow->activateWindow();
}

QWidget* helpWindow() { return gHelpWindow.data(); }

}  // namespace platform
