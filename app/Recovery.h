#pragma once
// Recovery copies of the text being edited.
//
// While the editor holds changes not written to the document, a copy of the
// text is kept in the recovery folder (platform/Paths.h), written at most
// kDelayMs after a change, so that a crash, a kill -9, a power cut or a
// logout loses at most the last second of typing.  The copy is written like
// the document (same encoding, byte-order mark and line breaks, through a
// temporary file renamed over the old copy), so it can be opened by hand.
//
// Typing never waits for the disk: on the user-interface thread a copy costs
// one walk over the editor's lines (QStrings are shared, nothing is encoded
// or copied character by character); encoding and writing happen in a thread
// of the object's own, one write at a time, and a newer text replaces one
// still waiting.
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "core/TextCodec.h"

class TEditor;

// The copy of the document at documentPath, in folder: the document's name,
// so that it is recognised in a file manager, then a hash of its canonical
// path, so that two documents of the same name never share a copy.
QString RecoveryFileName(const QString& folder, const QString& documentPath);

class TRecoveryCopy : public QObject {
  Q_OBJECT
 public:
  // The longest a change waits before it is in the copy, writing aside.
  static constexpr int kDelayMs = 1000;

  // Keeps copies of the text of editor, which outlives this object.
  explicit TRecoveryCopy(TEditor* editor, QObject* parent = nullptr);
  ~TRecoveryCopy() override;

  // The document the text belongs to; empty: no copy is kept.  Changes made
  // before are forgotten (the caller loads the document afterwards).
  void setDocument(const QString& documentPath);
  // Keeps the copy in file rather than under the recovery folder's name for
  // the document (the fault tests prepare a failing place for it).
  void setCopyFile(const QString& file) { FCopyFile = file; }

  // When the copy left by an earlier run was written, if it is newer than
  // the document (or the document is gone); invalid otherwise.
  QDateTime newerCopyTime() const;
  // Reads the copy (its own encoding and line breaks are found as for a document).
  bool readCopy(QStringList& lines, QString& error) const;

  // The user chose the document's text over the copy: the copy is set aside
  // (the copy's name + ".declined"), so that the copies of this run's changes do
  // not write over it before the next clean end.
  void keepDeclined();
  // The text was written to its document or given up: the copy goes, with
  // one set aside.
  void discard();
  // Writes the copy at once when the text is modified, and waits (the
  // program is being ended).  False with a message when writing failed.
  bool writeNow(QString& error);
  // Waits until every copy asked for is on disk.
  void flush();

  void setDelay(int ms) { FTimer.setInterval(ms); }

  // Told on the user-interface thread when a copy could not be written, once
  // until a copy is written again.
  std::function<void(const QString& message)> onWriteFailed;

 private:
  struct TJob {
    QString file;
    QStringList lines;
    TTextFormat format;
  };
  void changed();
  void writeModified();
  void run();
  void reportFailure(const QString& message);
  void waitIdle(std::unique_lock<std::mutex>& lock);

  TEditor* FEditor;
  QString FDocument;
  QString FCopyFile;
  QTimer FTimer;
  bool FFailureShown = false;

  // Shared with the writing thread.
  std::mutex FMutex;
  std::condition_variable FWake;
  std::optional<TJob> FPending;
  bool FBusy = false;
  bool FStop = false;
  std::thread FThread;
};
