#pragma once
// The spelling entries of the editor's context menu and what they do: add the
// word at the caret to the user word list (F5), replace it by a suggestion,
// find the next misspelled word (F6), choose the language.  One object holds
// the spelling set-up of a context menu: the component, the language list and
// the underlining plug-in; destroying it takes all of them away again.
#include <QAction>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QVector>
#include <memory>

#include "spell/SpellPlugin.h"
#include "spell/SynEditSpell.h"

class QWidget;
class TEditor;
class TSynMTextHighlighter;

class TSpellMenu : public QObject {
  Q_OBJECT
 public:
  // The set-up of the main window, run after every rebuild of the menus:
  // entries in the context menu, the component reading dictFolder and
  // keeping the user word lists in userFolder (dictFolder when empty), the
  // language entries and the plug-in.
  // nullptr (and nothing added) when the editor has no context menu.  No
  // language is opened: checking stays off and "Нет" is checked.
  static std::unique_ptr<TSpellMenu> CreateSpellCheck(TEditor* editor, QMenu* contextMenu,
                                                      const QString& dictFolder,
                                                      TSynMTextHighlighter* highlighter,
                                                      const QString& userFolder = QString());
  TSpellMenu(TEditor* editor, QMenu* contextMenu);
  ~TSpellMenu() override;

  // The first top-level entry named so (letter case ignored), or nullptr.
  static QAction* FindPopupItem(QMenu* menu, const QString& name);

  void AddSpellMenuItems();
  void UpdateSpellMenu();
  void AddWordToDictionary();
  void FindNextMisspelling();
  void SelectSpellLanguage(QAction* Sender);
  void ReplaceBySuggestion(QAction* Sender);

  TSynEditSpellCheck* FSpellCheck = nullptr;  // owned (a child of this object)
  QVector<TDictLanguage> FDictLangList;
  std::unique_ptr<TDrawAutoSpellCheckPlugin> FDrawAutoSpellCheckPlugin;

  QMenu* languageMenu() const { return FLanguageMenu; }
  QMenu* suggestionsMenu() const { return FSuggestionsMenu; }

 private:
  QAction* newAction(const QString& name, const QString& caption);

  QPointer<TEditor> FEditor;
  QPointer<QMenu> FContextMenu;
  QPointer<QMenu> FLanguageMenu;
  QPointer<QMenu> FSuggestionsMenu;
  QVector<QPointer<QAction>> FEntries;
};
