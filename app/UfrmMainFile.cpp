// The main window's file commands: choosing, writing, printing and closing.
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

#include "app/Recovery.h"
#include "app/Session.h"
#include "app/UfrmMain.h"
#include "highlight/SynHighlighterMText.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

QString TfrmMain::chooseFile(bool save) {
  platform::FileChoice choice;
  choice.save = save;
  choice.caption = QStringLiteral("Открыть текст");
  choice.dir = platform::programPaths().Installed ? QDir::homePath() : FSession.Paths.ProgramFolder;
  choice.filters = QStringList{QStringLiteral("Текстовые файлы ( *.txt ) (*.txt)"),
                               QStringLiteral("Все файлы ( *.* ) (*)")};
  if (!save) choice.filters.insert(1, QStringLiteral("Чертежи DXF ( *.dxf ) (*.dxf)"));
  choice.defaultSuffix = QStringLiteral("txt");
  if (!FFileName.isEmpty()) choice.selectedFile = QFileInfo(FFileName).fileName();
  return platform::chooseFile(this, choice);
}

bool TfrmMain::writeLines(const QString& path) {
  QString error;
  if (FDxf && path == FFileName) {
    if (SaveDxfText(this, *FDxf, Editor->lines(), error)) {
      FRecovery->discard();
      return true;
    }
    if (!error.isEmpty()) platform::showError(this, QStringLiteral("Ошибка при сохранении ") + path + QStringLiteral("\n") + error);
    return false;
  }
  // Lines written over a drawing would destroy it.
  if (IsDxfPath(path) && QFileInfo(path).isFile()) {
    platform::showError(this, QStringLiteral("Ошибка при сохранении ") + path +
                                  QStringLiteral("\nТекст не записывается поверх чертежа DXF: выберите текстовый файл"));
    return false;
  }
  if (!Editor->saveToFile(path, &error)) {
    platform::showError(this, QStringLiteral("Ошибка при сохранении ") + path +
                                  (error.isEmpty() ? QString() : QStringLiteral("\n") + error));
    return false;
  }
  if (!FFileName.isEmpty() && QFileInfo(path) == QFileInfo(FFileName)) {
    FRecovery->discard();
    FDocumentStamp = TFileStamp::of(FFileName);
  }
  return true;
}

bool TfrmMain::confirmOverwrite() {
  const QString shown = QDir::toNativeSeparators(FFileName);
  if (!QFileInfo(FFileName).isFile())
    return platform::askYesNo(this,
                              QStringLiteral("Файл изменен другой программой: %1 удален или переименован после "
                                             "того, как был открыт.\n\nЗаписать текст из редактора в этот файл заново?")
                                  .arg(shown),
                              QMessageBox::Yes);
  // Overwriting loses the other program's work: Return keeps it.
  return platform::askYesNo(this,
                            QStringLiteral("Файл изменен другой программой после того, как был открыт: %1.\n\n"
                                           "Записать текст из редактора поверх этих изменений? Изменения, "
                                           "сделанные другой программой, будут потеряны.")
                                .arg(shown),
                            QMessageBox::No);
}

void TfrmMain::OpenText() {
  const QString path = chooseFile(false);
  if (path.isEmpty()) return;
  // A drawing's text becomes the document, so the current one is closed first.
  if (IsDxfPath(path)) {
    if (!FormCloseQuery()) return;
    FRecovery->discard();  // the text was saved or given up
    if (OpenDrawing(path) && FRecovery->newerCopyTime().isValid()) OfferRecovery();
    return;
  }
  LoadText(path);
}

void TfrmMain::SaveText() { SaveTextChecked(); }

bool TfrmMain::SaveTextChecked() {
  // A drawing's text has a finer check of its own: only a change to that text counts.
  if (!FFileName.isEmpty() && !FDxf && FDocumentStamp.changedOnDisk(FFileName))
    return confirmOverwrite() && writeLines(FFileName);
  if (!FFileName.isEmpty() && QFileInfo(FFileName).isFile()) return writeLines(FFileName);
  return SaveTextAsChecked();
}

void TfrmMain::SaveTextAs() { SaveTextAsChecked(); }

bool TfrmMain::SaveTextAsChecked() {
  const QString path = chooseFile(true);
  if (path.isEmpty()) return false;
  return writeLines(path);
}

void TfrmMain::PrintText() {
  QPrinter printer(QPrinter::HighResolution);
  // The print dialog proposes <home>/<document name>.pdf for a PDF file: the
  // name without its folder, or the proposal lies in a folder that is not there.
  const QString title = QFileInfo(FFileName).completeBaseName();
  printer.setDocName(title);
  const bool wrap = FSession.Options.EditorProps.epWordWrap;
  const int pages = qMax(1, Editor->printPageCount(&printer, wrap));
  QPrintDialog dlg(&printer, this);
  dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dlg.setOption(QAbstractPrintDialog::PrintToFile, true);
  dlg.setMinMax(1, pages);
  dlg.setFromTo(1, pages);
  if (platform::execDialog(&dlg) != QDialog::Accepted) return;
  auto factory = [this](QTextDocument* doc) -> QSyntaxHighlighter* {
    auto* tokenizer = new TSynMText;
    tokenizer->copyAttributesFrom(*SynMText);
    auto* h = new TSynMTextHighlighter(tokenizer, doc);
    h->takeTokenizer();
    return h;
  };
  switch (printer.printRange()) {
    case QPrinter::AllPages:
      Editor->print(&printer, title, wrap, factory);
      break;
    case QPrinter::PageRange:
      Editor->print(&printer, title, wrap, factory, printer.fromPage(), printer.toPage());
      break;
    default:
      break;
  }
}

void TfrmMain::ApplyAndClose() {
  if (!FFileName.isEmpty() && !SaveTextChecked()) return;
  Editor->setModified(false);
  FClosingAccepted = true;
  if (!close()) FClosingAccepted = false;
}

void TfrmMain::ExitWithoutSaving() {
  Editor->setModified(false);
  FClosingAccepted = true;
  if (!close()) FClosingAccepted = false;
}
