#pragma once
// The main window: markup editor above, MText preview below, menus and
// toolbar read from Support/menu.xml.
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <functional>
#include <memory>
#include <vector>

#include "app/CommandTarget.h"
#include "app/DxfDocument.h"
#include "app/FileStamp.h"
#include "app/General.h"
#include "app/RenderText.h"
#include "editor/Editor.h"
#include "menus/MenuCommands.h"
#include "mtext/MTextLayout.h"
#include "mtext/zorAcCanvas.h"
#include "mtext/zorAcMtextRender.h"

class TXmlMenuItem;
class TXmlToolButton;
class TImageList;
class TAcMtextMenu;
class TSynMText;
class TSynMTextHighlighter;
class TSpellMenu;
class TRecoveryCopy;
class QMenu;
struct TSession;

// Module start-up: screen resolution for the renderer and the like.
void InitializeModules();

// The preview image, as large as the whole picture, inside the scrolling
// pane.  It shows the band of the picture its canvas keeps; when a part
// outside that band comes into view, onNeedBand draws the band around it
// before the paint goes on.  Drag-to-scroll with the size-all cursor.
class TRenderImage : public QWidget {
  Q_OBJECT
 public:
  explicit TRenderImage(TCanvas& canvas, QWidget* parent = nullptr);
  std::function<void()> onNeedBand;
 signals:
  void mousePressed(QMouseEvent* e);
  void mouseMoved(QMouseEvent* e);
  void mouseReleased(QMouseEvent* e);

 protected:
  void mousePressEvent(QMouseEvent* e) override { emit mousePressed(e); }
  void mouseMoveEvent(QMouseEvent* e) override { emit mouseMoved(e); }
  void mouseReleaseEvent(QMouseEvent* e) override { emit mouseReleased(e); }
  void paintEvent(QPaintEvent* e) override;

 private:
  TCanvas& FCanvas;
};

class TfrmMain : public QMainWindow, public TCommandTarget {
  Q_OBJECT
 public:
  // session: the run's settings and lasting state, which outlive the window;
  // arguments: the process arguments (the first after the program is the document).
  TfrmMain(TSession& session, const QStringList& arguments, QWidget* parent = nullptr);
  ~TfrmMain() override;

  // The command target's view of the window.
  TEditor& editor() override { return *Editor; }
  QWidget* dialogParent() override { return this; }
  TSession& session() override { return FSession; }
  bool clipboardHasText() const override { return FClipboardHasText; }

  // Components.  The status bar and the menu bar are QMainWindow's own.
  // Status bar panels: caret position, modified mark, insert mode, a spare one.
  QLabel* statusPanel(int index) const { return sBarPanels[index]; }
  QToolBar* toolBar() const { return tbMain; }
  TImageList* imageList() const { return imlMain; }
  QScrollArea* previewPane() const { return ScrlBox; }
  TRenderImage* previewImage() const { return imgRender; }
  TSynMText* tokenizer() const { return SynMText; }

  // Document and rendering.
  void LoadText(const QString& path);
  void SetFileName(const QString& path);
  void RenderText() override;
  const QString& fileName() const { return FFileName; }
  QString lastRenderedMText() const { return FRendered ? FMText->text() : QString(); }
  TCanvas& previewCanvas() { return FRenderCanvas; }

  // File commands.
  void OpenText() override;
  void SaveText() override;
  void SaveTextAs() override;
  // The same, reporting whether the text was written.
  bool SaveTextChecked();
  bool SaveTextAsChecked();
  void PrintText() override;
  void ApplyAndClose() override;
  void ExitWithoutSaving() override;
  // SIGTERM, SIGHUP or SIGINT: the text goes to its recovery copy, and the
  // program ends without a question.
  void EndBySignal(int signal);
  TRecoveryCopy* recovery() const { return FRecovery.get(); }
  // A text of a drawing becomes the document: the one with this handle, or the
  // one the user picks in the chooser.  False when refused or cancelled.
  bool OpenDrawing(const QString& path, const QString& handle = QString());
  // The text of a drawing the command line names (--handle) instead of the chooser.
  void setStartHandle(const QString& handle) { FStartHandle = handle; }
  const TDxfDocument* drawing() const { return FDxf.get(); }

  // Commands.
  void ExecuteCommand(QObject* Sender);
  void RunCommand(TMenuCommand cmd, const QString& argument, QObject* sender = nullptr);
  void InsertAtCaret(const QString& S) override;
  void InsertSupportFile(const QString& path) override;
  void UpdateCommandState();
  // Undoes (or redoes) the last edit and previews the text as it then is.
  void UndoEdit(bool redo) override;
  void ShowHintText(const QString& hint);
  void RebuildMenus() override;
  QMenu* editorPopup() const;
  // The spelling entries and objects of the editor's context menu, made
  // anew after every rebuild of the menus; nullptr without a context menu.
  void CreateSpellCheck();
  TSpellMenu* spelling() const { return FSpelling.get(); }
  void ApplyEditorSettings() override;
  void ApplyMenuFont() override;

  // Text tools.
  void DeleteFirstSymbol() override;
  void InsertLeadingSpace() override;
  void NumberParagraphs() override;
  void ChangeCase(bool toLower) override;
  void ToggleRomanNumerals(QObject* Sender) override;
  void ToggleWordWrap(QObject* Sender) override;
  void MoveCaretLine(int delta);

  // Registered command items (refreshed at idle time).
  const std::vector<TXmlMenuItem*>& stateMenuItems() const { return FEditMenus; }
  const std::vector<TXmlToolButton*>& stateToolButtons() const { return FEditButtons; }

  // Window events reachable from tests.
  void FormResize();
  void SplitterMoved();
  void FormActivate();
  int editorHeight() const;
  void setEditorHeight(int h);

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool event(QEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  // The construction steps, in order.
  void createStatusBar();
  void createMenuBar();
  void createPanes();
  void createToolBar();
  void createHighlighter();
  void connectEditor();
  void watchCommandState();
  void FormCreate();
  void FormShow();
  bool FormCloseQuery();
  void FormClose();
  void FormDestroy();
  void EditorStatusChange(TStatusChanges changes);
  void EditorChange();
  bool EditorKeyDown(QKeyEvent* e);
  void EditorKeyPress(QChar& key);
  void imgRenderMouseDown(QMouseEvent* e);
  void imgRenderMouseMove(QMouseEvent* e);
  void imgRenderMouseUp(QMouseEvent* e);
  bool writeLines(const QString& path);
  bool confirmOverwrite();
  void OfferRecovery();
  QString chooseFile(bool save);
  QString documentCaption() const;

  // Components, in declaration order.
  QStatusBar* sBar = nullptr;
  QLabel* sBarPanels[4] = {nullptr, nullptr, nullptr, nullptr};
  QMenuBar* mnuMain = nullptr;
  QPointer<QAction> miLoadMenu;  // destroyed by the first rebuild
  TImageList* imlMain = nullptr;
  QScrollArea* ScrlBox = nullptr;
  QSplitter* Splitter = nullptr;
  TRenderImage* imgRender = nullptr;
  TEditor* Editor = nullptr;
  QToolBar* tbMain = nullptr;
  TSynMText* SynMText = nullptr;
  TSynMTextHighlighter* FHighlighter = nullptr;
  std::vector<TXmlMenuItem*> FEditMenus;
  std::vector<TXmlToolButton*> FEditButtons;

  QString FFileName;
  int FLinesCount = 0;
  int FX = 0;
  int FY = 0;
  bool FDragging = false;
  // The editor's height as the user set it.  The splitter squeezes the editor
  // on its own when the window shrinks, before FormResize runs; the halving
  // rule has to compare against the height the editor had, not the squeezed one.
  int FEditorHeight = 0;
  bool FRomanNumerals = false;

  // The band of the preview to draw with its top-left corner near at: the
  // visible part with a screen's worth around it, so that scrolling seldom
  // draws again.  Always of the same size for a pane of the same size, so
  // the canvas keeps its memory.
  QRect previewBand(QPoint at) const;
  void RenderVisibleBand();

  TSession& FSession;
  QStringList FArguments;
  bool FShown = false;
  bool FClosingAccepted = false;
  TCanvas FRenderCanvas;
  TMTextLayout FPreviewLayout;  // what the last render measured, for the next one
  // The editor's MText as last rendered, brought up to date by each render.
  std::unique_ptr<TMTextMirror> FMText;
  bool FRendered = false;
  // Set by input, edits, the clipboard and commands: the command states are
  // refreshed once after them, not on every idle of the event loop.
  bool FCommandStateDirty = true;
  // The clipboard is read when it changes, not on every refresh of the
  // command states: on X11 each reading is a round trip to the server.
  bool FClipboardHasText = false;
  void readClipboard();
  std::unique_ptr<TAcMtextMenu> FMtextMenu;
  QPointer<QMenu> FEditorPopup;
  std::unique_ptr<TSpellMenu> FSpelling;
  std::unique_ptr<TRecoveryCopy> FRecovery;
  // The document as last read or written.
  TFileStamp FDocumentStamp;
  // Set while the document is a text of a drawing.
  std::unique_ptr<TDxfDocument> FDxf;
  QString FStartHandle;
};
