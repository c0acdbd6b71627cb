#pragma once
// What the suites that drive the whole main window share: documents in a
// temporary folder, a settings file of their own, and questions answered "No"
// with every message collected instead of shown.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "app/General.h"
#include "app/Session.h"
#include "app/UfrmMain.h"
#include "platform/Platform.h"

struct TMainWindowTestBed {
  QTemporaryDir FDir;
  TSession FSession;  // the run the windows share, as in the program
  QStringList FMessages;
  int FCount = 0;

  // Call from initTestCase and cleanupTestCase.
  void start() {
    FSession.SettingsFile = FDir.filePath(QStringLiteral("korvex.ini"));
    platform::MessageSeam seam;
    seam.ask = [](const QString&) { return QMessageBox::No; };
    seam.error = [this](const QString& t) { FMessages << t; };
    seam.message = seam.error;
    seam.beep = [] {};
    platform::setMessageSeam(seam);
  }
  void stop() { platform::setMessageSeam({}); }

  // A shown main window on a new document file holding content.
  std::unique_ptr<TfrmMain> openWith(const QByteArray& content) {
    const QString path = FDir.filePath(QStringLiteral("doc%1.txt").arg(++FCount));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return nullptr;
    f.write(content);
    f.close();
    auto w = std::make_unique<TfrmMain>(FSession, QStringList{QStringLiteral("korvex"), path});
    w->show();
    QApplication::processEvents();
    return w;
  }
};
