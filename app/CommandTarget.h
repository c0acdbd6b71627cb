#pragma once
// What the command table acts on: the main window seen through the few
// operations its commands need, so that the table knows nothing of the
// window's widgets and the window includes the table, not the other way round.
#include <QString>

class QObject;
class QWidget;
class TEditor;
struct TSession;

class TCommandTarget {
 public:
  // The markup editor the commands edit.
  virtual TEditor& editor() = 0;
  // The window the commands' dialogs and messages belong to.
  virtual QWidget* dialogParent() = 0;
  // The run's settings, paths and lasting state.
  virtual TSession& session() = 0;
  // Whether the clipboard holds text to paste.
  virtual bool clipboardHasText() const = 0;

  // File commands.
  virtual void OpenText() = 0;
  virtual void SaveText() = 0;
  virtual void SaveTextAs() = 0;
  virtual void PrintText() = 0;
  virtual void ApplyAndClose() = 0;
  virtual void ExitWithoutSaving() = 0;

  // Editing and text tools.
  virtual void UndoEdit(bool redo) = 0;
  virtual void InsertAtCaret(const QString& S) = 0;
  virtual void InsertSupportFile(const QString& path) = 0;
  virtual void DeleteFirstSymbol() = 0;
  virtual void InsertLeadingSpace() = 0;
  virtual void NumberParagraphs() = 0;
  virtual void ChangeCase(bool toLower) = 0;
  // sender: the item or button whose checked mark follows the toggle.
  virtual void ToggleRomanNumerals(QObject* sender) = 0;
  virtual void ToggleWordWrap(QObject* sender) = 0;

  // The preview, the menus and the settings.
  virtual void RenderText() = 0;
  virtual void RebuildMenus() = 0;
  virtual void ApplyEditorSettings() = 0;
  virtual void ApplyMenuFont() = 0;

 protected:
  ~TCommandTarget() = default;
};
