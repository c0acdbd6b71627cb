#include "app/UfrmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "app/Commands.h"
#include "app/Recovery.h"
#include "app/RenderText.h"
#include "app/SearchReplace.h"
#include "app/Session.h"
#include "app/TextTools.h"
#include "app/UfrmAboutBox.h"
#include "app/UfrmOptions.h"
#include "core/TextCodec.h"
#include "highlight/SynHighlighterMText.h"
#include "menus/MenuXML.h"
#include "menus/zorAcMtextMenus.h"
#include "platform/Paths.h"
#include "platform/Platform.h"
#include "spell/HunspellLib.h"
#include "spell/SpellMenu.h"

void InitializeModules() {
  // The spell engine is linked in: binding it only confirms it is there.
  LoadHunspell();
  // The renderer works in millimetres at screen resolution, fixed for the run.
  ScreenDpiY();
}

namespace {
const char* const kCaption = "Korvex";

// Status bar panels: caret position, modified mark, insert mode, a spare one.
constexpr int kPanelWidths[4] = {128, 75, 40, 60};
// Neither pane of the splitter gets smaller than this.
constexpr int kMinPaneHeight = 42;
// A loaded document up to this many characters (breaks counted as written) is
// previewed at once; a longer one waits for the first edit or command.
constexpr int kRenderOnLoadLimit = 512;

// Marks the command states stale on each key or click anywhere in the program.
class TInputWatcher : public QObject {
 public:
  TInputWatcher(bool& dirty, QObject* parent) : QObject(parent), FDirty(dirty) {}
  bool eventFilter(QObject* o, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::Shortcut:
        FDirty = true;
        break;
      default:
        break;
    }
    return QObject::eventFilter(o, e);
  }

 private:
  bool& FDirty;
};

QString appTitle() {
  const QString t = QCoreApplication::applicationName();
  return t.isEmpty() ? QString::fromLatin1(kCaption) : t;
}

}  // namespace

TfrmMain::TfrmMain(TSession& session, const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), FSession(session), FArguments(arguments) {
  createStatusBar();
  createMenuBar();
  createPanes();
  createToolBar();
  createHighlighter();
  connectEditor();
  watchCommandState();
  FRecovery = std::make_unique<TRecoveryCopy>(Editor);
  FRecovery->onWriteFailed = [this](const QString& message) { platform::showError(this, message); };
  FormCreate();
}

void TfrmMain::createStatusBar() {
  sBar = new QStatusBar(this);
  sBar->setObjectName(QStringLiteral("sBar"));
  for (int i = 0; i < 4; ++i) {
    sBarPanels[i] = new QLabel(sBar);
    sBarPanels[i]->setFixedWidth(kPanelWidths[i]);
    sBarPanels[i]->setFrameShape(QFrame::StyledPanel);
    sBarPanels[i]->setFrameShadow(QFrame::Sunken);
    if (i == 2) sBarPanels[i]->setAlignment(Qt::AlignCenter);
    sBar->addWidget(sBarPanels[i]);
  }
  setStatusBar(sBar);
}

void TfrmMain::createMenuBar() {
  mnuMain = menuBar();
  mnuMain->setObjectName(QStringLiteral("mnuMain"));
  miLoadMenu = mnuMain->addAction(QStringLiteral("Load &Menu"));
  miLoadMenu->setObjectName(QStringLiteral("miLoadMenu"));
  connect(miLoadMenu, &QAction::triggered, this, [this] { RebuildMenus(); });
  imlMain = new TImageList;
}

// The editor above, the preview below, split by a bar the user drags.
void TfrmMain::createPanes() {
  Splitter = new QSplitter(Qt::Vertical, this);
  Splitter->setObjectName(QStringLiteral("Splitter"));
  Splitter->setHandleWidth(4);
  Splitter->setChildrenCollapsible(false);
  Splitter->setOpaqueResize(true);

  ScrlBox = new QScrollArea;
  ScrlBox->setObjectName(QStringLiteral("ScrlBox"));
  ScrlBox->setMinimumHeight(kMinPaneHeight);
  ScrlBox->setWidgetResizable(false);
  ScrlBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  imgRender = new TRenderImage(FRenderCanvas);
  imgRender->setObjectName(QStringLiteral("imgRender"));
  imgRender->resize(16, 16);
  imgRender->onNeedBand = [this] { RenderVisibleBand(); };
  ScrlBox->setWidget(imgRender);

  Editor = new TEditor;
  FMText = std::make_unique<TMTextMirror>(*Editor->document());
  Editor->setObjectName(QStringLiteral("Editor"));
  Editor->setMinimumHeight(kMinPaneHeight);

  Splitter->addWidget(Editor);
  Splitter->addWidget(ScrlBox);
  Splitter->setStretchFactor(0, 0);
  Splitter->setStretchFactor(1, 1);
  setCentralWidget(Splitter);
}

void TfrmMain::createToolBar() {
  tbMain = new QToolBar(this);
  tbMain->setObjectName(QStringLiteral("tbMain"));
  tbMain->setIconSize(QSize(16, 16));
  tbMain->setMovable(false);
  tbMain->setFloatable(false);
  addToolBar(Qt::TopToolBarArea, tbMain);
}

void TfrmMain::createHighlighter() {
  SynMText = new TSynMText;
  FHighlighter = new TSynMTextHighlighter(SynMText, this);
  // Lines are coloured as they come into view: a large file shows at once.
  FHighlighter->setOnDemand(true);
  Editor->onPaintBlocks = [h = FHighlighter](const QTextBlock& first, const QTextBlock& last) {
    h->highlightShown(first, last);
  };
}

// The window's handlers of the editor, the splitter and the preview.
void TfrmMain::connectEditor() {
  connect(Splitter, &QSplitter::splitterMoved, this, [this] { SplitterMoved(); });
  connect(imgRender, &TRenderImage::mousePressed, this, &TfrmMain::imgRenderMouseDown);
  connect(imgRender, &TRenderImage::mouseMoved, this, &TfrmMain::imgRenderMouseMove);
  connect(imgRender, &TRenderImage::mouseReleased, this, &TfrmMain::imgRenderMouseUp);
  connect(Editor, &TEditor::statusChanged, this, [this](TStatusChanges c) { EditorStatusChange(c); });
  connect(Editor, &TEditor::changed, this, [this] { EditorChange(); });
  Editor->onKeyDown = [this](QKeyEvent* e) { return EditorKeyDown(e); };
  Editor->onKeyPress = [this](QChar& key) { EditorKeyPress(key); };
  Editor->installEventFilter(this);
  ScrlBox->installEventFilter(this);
  Editor->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Editor, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    // A right click puts the caret on the word clicked, so the spelling
    // entries speak of that word; a selection stays for the clipboard entries.
    if (!Editor->hasSelection()) Editor->setTextCursor(Editor->cursorForPosition(pos));
    if (FEditorPopup) FEditorPopup->popup(Editor->viewport()->mapToGlobal(pos));
  });
}

// Input, edits and the clipboard mark the command states stale.
void TfrmMain::watchCommandState() {
  qApp->installEventFilter(new TInputWatcher(FCommandStateDirty, this));
  auto stale = [this] { FCommandStateDirty = true; };
  connect(Editor->document(), &QTextDocument::contentsChange, this, stale);
  connect(Editor, &QPlainTextEdit::selectionChanged, this, stale);
  connect(Editor, &QPlainTextEdit::cursorPositionChanged, this, stale);
  connect(Editor, &QPlainTextEdit::modificationChanged, this, stale);
  connect(Editor, &QPlainTextEdit::undoAvailable, this, stale);
  connect(Editor, &QPlainTextEdit::redoAvailable, this, stale);
  readClipboard();
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
    readClipboard();
    FCommandStateDirty = true;
  });
}

TfrmMain::~TfrmMain() { FormDestroy(); }

// ---------------------------------------------------------------------------
// Lifecycle

void TfrmMain::FormCreate() {
  platform::setIdleHandler([this] {
    if (FCommandStateDirty) {
      UpdateCommandState();
      return;
    }
    // The Insert toggle is the program's own flag: reading it costs nothing.
    const bool overwrite = platform::insertToggled();
    if (Editor->insertMode() == overwrite) UpdateCommandState();
  });

  FSession.Paths.ProgramFolder = QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
  platform::setHelpFolder(platform::programPaths().HelpFolder);

  FLinesCount = 0;
  FRomanNumerals = false;

  FSession.Paths.MenuFileName = platform::supportFile(QStringLiteral("menu.xml"));
  FSession.Paths.MenuImagesFileName = platform::supportFile(QStringLiteral("menu.bmp"));

  LoadSettings(this, FSession.settingsFileName(), FSession.Options);
  FEditorHeight = FSession.Options.EditorProps.epHeight;
  Splitter->setSizes({FEditorHeight, qMax(kMinPaneHeight, height() - FEditorHeight)});
  ApplyEditorSettings();

  FMtextMenu = std::make_unique<TAcMtextMenu>(mnuMain);
  RebuildMenus();
  UpdateCommandState();
  EditorStatusChange(TStatusChanges(scAll));
}

void TfrmMain::FormShow() {
  Editor->setFocus();
  if (FArguments.size() > 1 && IsDxfPath(FArguments.at(1)) && QFileInfo(FArguments.at(1)).isFile()) {
    OpenDrawing(QFileInfo(FArguments.at(1)).absoluteFilePath(), FStartHandle);
  } else if (FArguments.size() > 1 && QFileInfo(FArguments.at(1)).isFile()) {
    SetFileName(QFileInfo(FArguments.at(1)).absoluteFilePath());
    FRecovery->setDocument(FFileName);
    LoadText(FFileName);
    FDocumentStamp = TFileStamp::of(FFileName);
  }
  Editor->setModified(false);
  // Asked once the window is on screen, so the question has its window.
  if (FRecovery->newerCopyTime().isValid()) QTimer::singleShot(0, this, [this] { OfferRecovery(); });
}

void TfrmMain::OfferRecovery() {
  const QDateTime written = FRecovery->newerCopyTime();
  if (!written.isValid()) return;
  const QString question =
      QStringLiteral("Найдена копия текста %1, не сохраненного в прошлый раз: программа была закрыта "
                     "аварийно. Копия записана %2 в %3.\n\nВосстановить текст из копии?")
          .arg(QFileInfo(FFileName).fileName(), written.toString(QStringLiteral("dd.MM.yyyy")),
               written.toString(QStringLiteral("HH:mm:ss")));
  // Declined, the copy stays until the text is next saved or given up.
  if (!platform::askYesNo(this, question, QMessageBox::Yes)) {
    FRecovery->keepDeclined();
    return;
  }
  QStringList lines;
  QString error;
  if (!FRecovery->readCopy(lines, error)) {
    platform::showError(this, error);
    return;
  }
  // The document's own encoding and line breaks stay; the text is not
  // written until the user saves it.
  Editor->setLines(lines);
  Editor->setModified(true);
  FLinesCount = Editor->lineCount();
  if (Editor->text().size() <= kRenderOnLoadLimit) RenderText();
  EditorStatusChange(TStatusChanges(scAll));
}

void TfrmMain::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!FShown) {
    FShown = true;
    FormShow();
  }
}

void TfrmMain::FormActivate() {
  if (!FSession.Options.SwitchToRus) {
    FSession.SwitchLayoutPending = false;
  } else if (FSession.SwitchLayoutPending) {
    platform::activateRussianLayout();
  }
}

void TfrmMain::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

bool TfrmMain::FormCloseQuery() {
  if (!Editor->modified()) return true;
  switch (platform::askYesNoCancel(this, QStringLiteral("Сохранить текст ?"))) {
    case QMessageBox::Yes:
      return SaveTextChecked();
    case QMessageBox::No:
      return true;
    default:
      return false;
  }
}

void TfrmMain::closeEvent(QCloseEvent* e) {
  if (!FClosingAccepted && !FormCloseQuery()) {
    e->ignore();
    return;
  }
  FClosingAccepted = false;
  // Saved, given up or never changed: nothing is left to recover.
  FRecovery->discard();
  FormClose();
  e->accept();
}

void TfrmMain::EndBySignal(int signal) {
  QString error;
  if (!FRecovery->writeNow(error)) std::fprintf(stderr, "%s\n", qPrintable(error));
  // No message box now: nobody may be there to answer it.
  if (!SaveSettings(this, FSession.settingsFileName(), FSession.Options))
    std::fprintf(stderr, "%s\n", qPrintable(QStringLiteral("Ошибка при сохранении ") + FSession.settingsFileName()));
  // Ends every event loop, modal ones included; the windows and the word
  // lists are closed by the normal end of the program.
  QCoreApplication::exit(128 + signal);
}

void TfrmMain::FormClose() {
  if (!SaveSettings(this, FSession.settingsFileName(), FSession.Options))
    platform::showError(this, QStringLiteral("Ошибка при сохранении ") + FSession.settingsFileName());
}

void TfrmMain::FormDestroy() {
  platform::setIdleHandler({});
  // The children get events while QWidget deletes them, after this class is gone.
  Editor->removeEventFilter(this);
  ScrlBox->removeEventFilter(this);
  // Closing the language writes a changed user word list.
  FSpelling.reset();
  FEditMenus.clear();
  FEditButtons.clear();
  FSession.Search.DestroyConfirmReplace();
  if (FHighlighter) FHighlighter->setDocument(nullptr);
  FMtextMenu.reset();
  delete SynMText;
  SynMText = nullptr;
  delete imlMain;
  imlMain = nullptr;
}

void TfrmMain::keyPressEvent(QKeyEvent* e) {
  if (FSession.Options.EscForExit && e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QMainWindow::keyPressEvent(e);
}

bool TfrmMain::eventFilter(QObject* o, QEvent* e) {
  // The window sees keys before its controls do.
  if (e->type() == QEvent::KeyPress) {
    auto* ke = static_cast<QKeyEvent*>(e);
    if (FSession.Options.EscForExit && ke->key() == Qt::Key_Escape && ke->modifiers() == Qt::NoModifier) {
      QTimer::singleShot(0, this, [this] { close(); });
      return true;
    }
  }
  return QMainWindow::eventFilter(o, e);
}

bool TfrmMain::event(QEvent* e) {
  if (e->type() == QEvent::StatusTip) {
    ShowHintText(static_cast<QStatusTipEvent*>(e)->tip());
    return true;
  }
  return QMainWindow::event(e);
}

void TfrmMain::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  // The splitter gets its new size only after this event; apply the rule then.
  QTimer::singleShot(0, this, [this] { FormResize(); });
}

void TfrmMain::FormResize() {
  if (!Editor || !tbMain) return;
  const int menuHeight = mnuMain && mnuMain->isVisible() ? mnuMain->height() : 0;
  const int tbHeight = tbMain->isVisible() ? tbMain->height() : 0;
  const int sbHeight = sBar->isVisible() ? sBar->height() : 0;
  const int available = height() - menuHeight - tbHeight - sbHeight;
  if (FEditorHeight <= 0) FEditorHeight = Splitter->sizes().value(0, Editor->height());
  if (available < FEditorHeight) FEditorHeight = available / 2;
  // A larger window never enlarges the editor: the preview takes the rest.
  Splitter->setSizes({FEditorHeight, qMax(0, Splitter->height() - FEditorHeight - Splitter->handleWidth())});
}

int TfrmMain::editorHeight() const { return Splitter->sizes().value(0); }

void TfrmMain::setEditorHeight(int h) {
  FEditorHeight = h;
  const int total = qMax(Splitter->height(), h + kMinPaneHeight + Splitter->handleWidth());
  Splitter->setSizes({h, total - h - Splitter->handleWidth()});
}

void TfrmMain::SplitterMoved() {
  FEditorHeight = editorHeight();
  FSession.Options.EditorProps.epHeight = FEditorHeight;
}

// ---------------------------------------------------------------------------
// Document

void TfrmMain::SetFileName(const QString& path) {
  FFileName = path;
  FDxf.reset();
  setWindowTitle(documentCaption());
}

QString TfrmMain::documentCaption() const {
  if (FFileName.isEmpty()) return appTitle();
  return QStringLiteral("%1 - %2").arg(FDxf ? FDxf->caption() : QFileInfo(FFileName).fileName(), appTitle());
}

bool TfrmMain::OpenDrawing(const QString& path, const QString& handle) {
  auto doc = std::make_unique<TDxfDocument>();
  QStringList lines;
  QString error;
  if (!OpenDxfText(this, path, handle, FSession.Options.RenderProps, *doc, lines, error)) {
    if (!error.isEmpty()) platform::showError(this, error);
    return false;
  }
  FFileName = doc->path;
  // One copy per text of the drawing: it goes back only into its own entity.
  FRecovery->setDocument(doc->path + QLatin1Char('#') +
                         (doc->handle.isEmpty() ? QString::number(doc->index + 1) : doc->handle));
  FDxf = std::move(doc);
  setWindowTitle(documentCaption());
  Editor->clearAll();
  Editor->setLines(lines);
  ApplyEditorSettings();
  if (Editor->text().size() <= kRenderOnLoadLimit) RenderText();
  FLinesCount = Editor->lineCount();
  Editor->setModified(false);
  Editor->setFocus();
  return true;
}

void TfrmMain::LoadText(const QString& path) {
  Editor->clearAll();
  QString error;
  const bool ok = Editor->loadFromFile(path, &error);
  if (ok) {
    ApplyEditorSettings();
    if (Editor->text().size() <= kRenderOnLoadLimit) RenderText();
  }
  Editor->setFocus();
  FLinesCount = Editor->lineCount();
  if (!ok) platform::showError(this, error);
}

void TfrmMain::RenderText() {
  const TTextChange change = FMText->update();
  FRendered = true;
  ScrlBox->horizontalScrollBar()->setValue(0);
  ScrlBox->verticalScrollBar()->setValue(0);
  RenderPreviewBand(FRenderCanvas, FMText->text(), FSession.Options.RenderProps, previewBand(QPoint(0, 0)),
                    &FPreviewLayout, &change);
  const QRect picture(0, 0, FRenderCanvas.width(), FRenderCanvas.height());
  // Of a picture of the same size, only what the render drew again is shown again.
  if (imgRender->geometry() == picture) {
    imgRender->update(FPreviewLayout.repainted() & picture);
  } else {
    imgRender->setGeometry(picture);
    imgRender->update();
  }
}

QRect TfrmMain::previewBand(QPoint at) const {
  const QSize pane = ScrlBox->viewport()->size().expandedTo(QSize(16, 16));
  return QRect(qMax(0, at.x() - pane.width() / 2), qMax(0, at.y() - pane.height()), 2 * pane.width(),
               3 * pane.height());
}

void TfrmMain::RenderVisibleBand() {
  if (!FRendered) return;  // nothing rendered yet: no picture at all
  const QPoint at(ScrlBox->horizontalScrollBar()->value(), ScrlBox->verticalScrollBar()->value());
  // The text as last rendered: nothing of it changed.
  const TTextChange same{FMText->text().size(), FMText->text().size()};
  RenderPreviewBand(FRenderCanvas, FMText->text(), FSession.Options.RenderProps, previewBand(at), &FPreviewLayout,
                    &same);
}

TRenderImage::TRenderImage(TCanvas& canvas, QWidget* parent) : QWidget(parent), FCanvas(canvas) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TRenderImage::paintEvent(QPaintEvent* e) {
  const QRect exposed = e->rect() & rect();
  if (exposed.isEmpty()) return;
  if (!FCanvas.window().contains(exposed) && onNeedBand) onNeedBand();
  QPainter p(this);
  const QRect band = FCanvas.window();
  // Parts the band does not cover (a pane larger than the band) show the background.
  const QRegion uncovered = QRegion(exposed) - QRegion(band);
  for (const QRect& r : uncovered) p.fillRect(r, palette().window());
  if (!band.isEmpty()) p.drawImage(band.topLeft(), FCanvas.image(), QRect(QPoint(0, 0), band.size()));
}

// ---------------------------------------------------------------------------
// Settings

void TfrmMain::ApplyEditorSettings() {
  QFont f = FontFromProps(FSession.Options.EditorFont);
  f.setStyleHint(QFont::TypeWriter);
  Editor->setEditorFont(f);
  Editor->setTextColor(ColorToQColor(FSession.Options.EditorFont.fpColor));
  Editor->setBackgroundColor(ColorToQColor(FSession.Options.EditorColors.ecBackground));
  Editor->setWordWrap(FSession.Options.EditorProps.epWordWrap);
  Editor->setAutoIndent(FSession.Options.EditorProps.epAutoIndent);
  Editor->setActiveLineColor(ColorToQColor(FSession.Options.EditorColors.ecActiveLine));
  // The modified flag is left alone: new settings do not save the text.

  SynMText->beginUpdate();
  SynMText->identifierAttri()->setForeground(ColorToQColor(FSession.Options.EditorFont.fpColor));
  SynMText->identifierAttri()->setStyle(FSession.Options.EditorFont.fpStyle);
  SynMText->keyAttri()->setForeground(ColorToQColor(FSession.Options.HighlightProps.hpColor));
  SynMText->numberAttri()->setForeground(ColorToQColor(FSession.Options.HighlightProps.hpNumColor));
  SynMText->symbolsAttri()->setForeground(ColorToQColor(FSession.Options.HighlightProps.hpSymColor));
  SynMText->keyAttri()->setStyle(FSession.Options.HighlightProps.hpStyle);
  SynMText->numberAttri()->setStyle(FSession.Options.HighlightProps.hpStyle);
  SynMText->symbolsAttri()->setStyle(FSession.Options.HighlightProps.hpStyle);
  SynMText->endUpdate();

  if (FSession.Options.HighlightProps.hpEnable) {
    if (FHighlighter->document() != Editor->document()) FHighlighter->setDocument(Editor->document());
    else FHighlighter->rehighlight();
  } else if (FHighlighter->document()) {
    FHighlighter->setDocument(nullptr);
  }
}

// ---------------------------------------------------------------------------
// Commands

void TfrmMain::ExecuteCommand(QObject* Sender) {
  // A sender that carries no command runs cmdNone.
  const TCommandCarrier* carrier = CommandCarrierOf(Sender);
  RunCommand(carrier ? carrier->FCmd : cmdNone, carrier ? carrier->FArgument : QString(), Sender);
}

void TfrmMain::RunCommand(TMenuCommand cmd, const QString& argument, QObject* sender) {
  CommandOf(cmd).run(*this, argument, sender);
  FCommandStateDirty = true;
}

void TfrmMain::InsertAtCaret(const QString& S) { ::InsertAtCaret(*Editor, S); }

void TfrmMain::InsertSupportFile(const QString& path) {
  QStringList lines;
  TTextFormat format;
  QString error;
  if (!QFileInfo(path).isFile()) {
    platform::showError(this, QStringLiteral("Не найден файл %1").arg(QDir::toNativeSeparators(path)));
    return;
  }
  if (!ReadTextFile(path, lines, format, error)) {
    platform::showError(this, error);
    return;
  }
  // Each line ends with a break, so the insertion ends with a new paragraph.
  QString text;
  for (const QString& l : lines) text += l + QLatin1Char('\n');
  InsertAtCaret(text);
}

void TfrmMain::UpdateCommandState() {
  FCommandStateDirty = false;
  const QString caption = documentCaption();
  if (windowTitle() != caption) setWindowTitle(caption);

  // A widget is touched only when its state really differs, so the refresh
  // never feeds the event loop.
  auto refresh = [this](TCommandCarrier* target) {
    const TCommand& c = CommandOf(target->FCmd);
    if (c.enabled) {
      const bool enabled = c.enabled(*this);
      if (target->commandEnabled() != enabled) target->setCommandEnabled(enabled);
    }
    if (c.checked) {
      const bool checked = c.checked(*this);
      if (!target->commandCheckable() || target->commandChecked() != checked) target->setCommandChecked(checked);
    }
  };
  for (TXmlMenuItem* item : FEditMenus) refresh(item);
  for (TXmlToolButton* button : FEditButtons) refresh(button);
  const bool overwrite = platform::insertToggled();
  const QString mode = overwrite ? QStringLiteral("ЗАМ") : QStringLiteral("ВСТ");
  if (sBarPanels[2]->text() != mode) sBarPanels[2]->setText(mode);
  if (Editor->insertMode() == overwrite) Editor->setInsertMode(!overwrite);
}

void TfrmMain::readClipboard() {
  const QMimeData* d = QGuiApplication::clipboard()->mimeData();
  FClipboardHasText = d && d->hasText() && !d->text().isEmpty();
}

void TfrmMain::ShowHintText(const QString& hint) {
  if (!hint.isEmpty())
    sBar->showMessage(hint);
  else
    sBar->clearMessage();
}

// Both panels are cheap to set, so every kind of change refreshes both.
void TfrmMain::EditorStatusChange(TStatusChanges) {
  const QPoint caret = Editor->caretXY();
  sBarPanels[0]->setText(QString::asprintf("Стр.: %3d   Кол.: %3d", caret.y(), caret.x()));
  sBarPanels[1]->setText(Editor->modified() ? QStringLiteral("Изменен") : QString());
}

void TfrmMain::EditorChange() {
  if (Editor->lineCount() != FLinesCount) {
    FLinesCount = Editor->lineCount();
    RenderText();
  }
}

bool TfrmMain::EditorKeyDown(QKeyEvent* e) {
  if (e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo)) {
    UndoEdit(e->matches(QKeySequence::Redo));
    return true;
  }
  // The preview shows the text as it was before the space.
  if (e->key() == Qt::Key_Space) RenderText();
  return false;
}

void TfrmMain::UndoEdit(bool redo) {
  if (redo)
    Editor->redo();
  else
    Editor->undo();
  RenderText();
}

void TfrmMain::EditorKeyPress(QChar& key) {
  if (FRomanNumerals) RomanKeyPress(*Editor, key);
}

// ---------------------------------------------------------------------------
// Text tools

void TfrmMain::DeleteFirstSymbol() {
  ::DeleteFirstSymbol(*Editor);
  RenderText();
}

void TfrmMain::InsertLeadingSpace() {
  ::InsertLeadingSpace(*Editor);
  RenderText();
}

void TfrmMain::NumberParagraphs() {
  ::NumberParagraphs(*Editor, FSession.Options.ItemDivider);
  RenderText();
}

void TfrmMain::ChangeCase(bool toLower) {
  ::ChangeCase(*Editor, toLower);
  Editor->setFocus();
}

void TfrmMain::ToggleRomanNumerals(QObject* Sender) {
  FRomanNumerals = !FRomanNumerals;
  if (TCommandCarrier* carrier = CommandCarrierOf(Sender)) carrier->setCommandChecked(FRomanNumerals);
}

void TfrmMain::ToggleWordWrap(QObject* Sender) {
  Editor->setWordWrap(!Editor->wordWrap());
  if (TCommandCarrier* carrier = CommandCarrierOf(Sender)) carrier->setCommandChecked(Editor->wordWrap());
}

void TfrmMain::MoveCaretLine(int delta) {
  const QPoint caret = Editor->caretXY();
  const int line = caret.y() - 1;
  const int target = line + delta;
  Editor->setUpdatesEnabled(false);
  Editor->setWordWrap(false);
  if (delta != 0 && target >= 0 && target < Editor->lineCount()) {
    // One undo step that marks the text modified, like any other edit.
    const int top = qMin(line, target);
    Editor->replaceLines(top, {Editor->line(top + 1), Editor->line(top)});
    Editor->setCaretXY(QPoint(caret.x(), target + 1));
  }
  Editor->setWordWrap(FSession.Options.EditorProps.epWordWrap);
  Editor->setUpdatesEnabled(true);
  Editor->viewport()->update();
}

// ---------------------------------------------------------------------------
// Preview drag-to-scroll

void TfrmMain::imgRenderMouseDown(QMouseEvent* e) {
  if (!(e->buttons() & Qt::LeftButton)) return;
  if (!ScrlBox->horizontalScrollBar()->isVisible() && !ScrlBox->verticalScrollBar()->isVisible()) return;
  FX = int(e->position().x());
  FY = int(e->position().y());
  FDragging = true;
  QApplication::setOverrideCursor(Qt::SizeAllCursor);
}

void TfrmMain::imgRenderMouseMove(QMouseEvent* e) {
  if (!(e->buttons() & Qt::LeftButton) || !FDragging) return;
  QScrollBar* h = ScrlBox->horizontalScrollBar();
  QScrollBar* v = ScrlBox->verticalScrollBar();
  h->setValue(h->value() + (FX - int(e->position().x())));
  v->setValue(v->value() + (FY - int(e->position().y())));
}

void TfrmMain::imgRenderMouseUp(QMouseEvent*) {
  if (FDragging) QApplication::restoreOverrideCursor();
  FDragging = false;
}
