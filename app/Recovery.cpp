#include "app/Recovery.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

#include "editor/Editor.h"
#include "platform/Paths.h"

namespace {

// Room for the hash and the temporary file's suffix within a file name's 255 bytes.
constexpr int kMaxStemLength = 100;

QString failureMessage(const QString& error) {
  return QStringLiteral("Не удается записать копию текста для восстановления после сбоя.\n%1\n"
                        "Текст в редакторе не потерян; сохраните его.")
      .arg(error);
}

// The copies hold the user's text: the folder is the user's alone.
void makeFolder(const QString& file) {
  const QString folder = QFileInfo(file).absolutePath();
  if (QFileInfo(folder).isDir()) return;
  if (QDir().mkpath(folder)) QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace

QString RecoveryFileName(const QString& folder, const QString& documentPath) {
  const QFileInfo info(documentPath);
  QString canonical = info.canonicalFilePath();
  if (canonical.isEmpty()) canonical = QDir::cleanPath(info.absoluteFilePath());
  const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
  QString folderPath = folder;
  if (!folderPath.endsWith(QLatin1Char('/'))) folderPath += QLatin1Char('/');
  return folderPath + info.fileName().left(kMaxStemLength) + QLatin1Char('-') + QString::fromLatin1(hash);
}

TRecoveryCopy::TRecoveryCopy(TEditor* editor, QObject* parent) : QObject(parent), FEditor(editor) {
  FTimer.setSingleShot(true);
  FTimer.setInterval(kDelayMs);
  connect(&FTimer, &QTimer::timeout, this, [this] { writeModified(); });
  // Any change at all, also the ones that are not undo steps: the first
  // change starts the clock, later ones ride along, so the copy is never
  // older than kDelayMs however fast the user types.
  connect(FEditor->document(), &QTextDocument::contentsChanged, this, [this] { changed(); });
}

TRecoveryCopy::~TRecoveryCopy() {
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FStop = true;
    FPending.reset();
  }
  FWake.notify_all();
  if (FThread.joinable()) FThread.join();
}

void TRecoveryCopy::setDocument(const QString& documentPath) {
  FTimer.stop();
  {
    std::unique_lock<std::mutex> lock(FMutex);
    FPending.reset();
    waitIdle(lock);
  }
  FDocument = documentPath;
  FCopyFile = documentPath.isEmpty() ? QString()
                                     : RecoveryFileName(platform::programPaths().RecoveryFolder, documentPath);
}

QDateTime TRecoveryCopy::newerCopyTime() const {
  if (FCopyFile.isEmpty()) return {};
  const QFileInfo copy(FCopyFile);
  if (!copy.isFile()) return {};
  const QFileInfo document(FDocument);
  if (document.exists() && copy.lastModified() <= document.lastModified()) return {};
  return copy.lastModified();
}

bool TRecoveryCopy::readCopy(QStringList& lines, QString& error) const {
  TTextFormat format;
  return ReadTextFile(FCopyFile, lines, format, error);
}

void TRecoveryCopy::changed() {
  if (!FCopyFile.isEmpty() && !FTimer.isActive()) FTimer.start();
}

void TRecoveryCopy::writeModified() {
  // An unmodified text is the document's own (loaded, or every change undone).
  if (FCopyFile.isEmpty() || !FEditor->modified()) return;
  TJob job{FCopyFile, FEditor->lines(), FEditor->textFormat()};
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FPending = std::move(job);
    if (!FThread.joinable()) FThread = std::thread([this] { run(); });
  }
  FWake.notify_all();
}

void TRecoveryCopy::run() {
  std::unique_lock<std::mutex> lock(FMutex);
  for (;;) {
    FWake.wait(lock, [this] { return FStop || FPending; });
    if (FStop) return;
    TJob job = std::move(*FPending);
    FPending.reset();
    FBusy = true;
    lock.unlock();
    QString error;
    makeFolder(job.file);
    const bool ok = WriteTextFile(job.file, job.lines, job.format, error);
    job = TJob();  // the text is freed here, not on the next wake-up
    lock.lock();
    FBusy = false;
    FWake.notify_all();
    QMetaObject::invokeMethod(
        this,
        [this, ok, error] {
          if (ok) FFailureShown = false;
          else reportFailure(failureMessage(error));
        },
        Qt::QueuedConnection);
  }
}

void TRecoveryCopy::waitIdle(std::unique_lock<std::mutex>& lock) {
  FWake.wait(lock, [this] { return !FBusy && !FPending; });
}

void TRecoveryCopy::reportFailure(const QString& message) {
  if (FFailureShown) return;
  FFailureShown = true;
  if (onWriteFailed) onWriteFailed(message);
}

void TRecoveryCopy::discard() {
  FTimer.stop();
  if (FCopyFile.isEmpty()) return;
  std::unique_lock<std::mutex> lock(FMutex);
  FPending.reset();
  // A write under way would bring the copy back after its removal.
  waitIdle(lock);
  QFile::remove(FCopyFile);
  QFile::remove(FCopyFile + QStringLiteral(".declined"));
}

void TRecoveryCopy::keepDeclined() {
  if (FCopyFile.isEmpty()) return;
  const QString aside = FCopyFile + QStringLiteral(".declined");
  QFile::remove(aside);
  QFile::rename(FCopyFile, aside);
}

bool TRecoveryCopy::writeNow(QString& error) {
  FTimer.stop();
  std::unique_lock<std::mutex> lock(FMutex);
  FPending.reset();
  waitIdle(lock);
  if (FCopyFile.isEmpty() || !FEditor->modified()) return true;
  makeFolder(FCopyFile);
  if (WriteTextFile(FCopyFile, FEditor->lines(), FEditor->textFormat(), error)) return true;
  error = failureMessage(error);
  return false;
}

void TRecoveryCopy::flush() {
  if (FTimer.isActive()) {
    FTimer.stop();
    writeModified();
  }
  std::unique_lock<std::mutex> lock(FMutex);
  waitIdle(lock);
}
