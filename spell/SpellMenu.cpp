#include "spell/SpellMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTextBlock>

#include "editor/Editor.h"
#include "platform/Platform.h"
#include "spell/UserDictionary.h"

namespace {

// The word at the caret, or the one just before it (a word the user has just
// typed counts as the word at the caret), as the preview reads it: сл\Lово is
// "слово"; on a code, a number or a token with a digit there is none.
bool WordAtCaret(const TEditor* editor, TMTextWord& word) {
  const QPoint caret = editor->caretXY();
  return TSynEditSpellCheck::WordAtColumn(editor->line(caret.y() - 1), caret.x(), word) && !word.hasDigit;
}

QString WordAtCaret(const TEditor* editor) {
  TMTextWord word;
  return WordAtCaret(editor, word) ? word.text : QString();
}

// The codes inside a word's source (\L of сл\Lово), kept after the word that
// replaces it.
QString CodesInside(const QString& line, const TMTextWord& word) {
  QString kept;
  TMTextLexer lexer(line);
  for (qsizetype pos = word.start; pos < word.start + word.length;) {
    const TMTextToken t = lexer.scan(pos);
    if (t.kind != lkChar && !(t.kind == lkCode && t.code == u'U')) kept += line.mid(t.start, t.length);
    pos = t.end();
  }
  return kept;
}

}  // namespace

std::unique_ptr<TSpellMenu> TSpellMenu::CreateSpellCheck(TEditor* editor, QMenu* contextMenu,
                                                         const QString& dictFolder,
                                                         TSynMTextHighlighter* highlighter,
                                                         const QString& userFolder) {
  auto menu = std::make_unique<TSpellMenu>(editor, contextMenu);
  menu->AddSpellMenuItems();
  QAction* languages = FindPopupItem(contextMenu, QStringLiteral("pmiSelectLanguage"));
  if (!languages) return nullptr;
  TSynEditSpellCheck* spell = new TSynEditSpellCheck(menu.get(), {caText, caIdentifier});
  menu->FSpellCheck = spell;
  spell->setUserDirectory(userFolder.isEmpty() ? dictFolder : userFolder);
  spell->setOptions({sscoAutoSpellCheck, sscoHourGlass, sscoIgnoreSingleChars, sscoSuggestWords});
  spell->setHighlighter(highlighter);
  spell->LoadDictionaries(dictFolder);
  if (spell->GetDictLanguages(menu->FDictLangList)) {
    QActionGroup* group = menu->FLanguageMenu->actions().first()->actionGroup();
    for (const TDictLanguage& language : menu->FDictLangList) {
      QAction* a = menu->FLanguageMenu->addAction(language.Name);
      a->setCheckable(true);
      a->setData(int(language.Id));
      a->setActionGroup(group);
      TSpellMenu* self = menu.get();
      connect(a, &QAction::triggered, self, [self, a] { self->SelectSpellLanguage(a); });
    }
  }
  menu->FDrawAutoSpellCheckPlugin = std::make_unique<TDrawAutoSpellCheckPlugin>(editor, spell);
  return menu;
}

TSpellMenu::TSpellMenu(TEditor* editor, QMenu* contextMenu) : FEditor(editor), FContextMenu(contextMenu) {}

TSpellMenu::~TSpellMenu() {
  // The component first: closing its language writes a changed user list.
  delete FSpellCheck;
  FSpellCheck = nullptr;
  FDictLangList.clear();
  FDrawAutoSpellCheckPlugin.reset();
  delete FLanguageMenu;
  delete FSuggestionsMenu;
  for (const QPointer<QAction>& a : FEntries) delete a;
  if (FEditor) FEditor->viewport()->update();
}

QAction* TSpellMenu::FindPopupItem(QMenu* menu, const QString& name) {
  if (!menu) return nullptr;
  for (QAction* a : menu->actions())
    if (a->objectName().compare(name, Qt::CaseInsensitive) == 0) return a;
  return nullptr;
}

QAction* TSpellMenu::newAction(const QString& name, const QString& caption) {
  QAction* a = new QAction(caption, this);
  a->setObjectName(name);
  FEntries << a;
  return a;
}

void TSpellMenu::AddSpellMenuItems() {
  if (!FContextMenu) return;
  QAction* separator = newAction(QString(), QString());
  separator->setSeparator(true);
  FContextMenu->addAction(separator);

  QAction* add = newAction(QStringLiteral("pmiAddToDictionary"), QStringLiteral("Добавить слово в словарь"));
  add->setShortcut(QKeySequence(Qt::Key_F5));
  // The entry's own key works while the menu is open; the editor's below
  // while the user types (an entry may be hidden, and hidden entries take no keys).
  add->setShortcutContext(Qt::WidgetShortcut);
  connect(add, &QAction::triggered, this, &TSpellMenu::AddWordToDictionary);
  FContextMenu->addAction(add);

  QAction* suggestions = newAction(QStringLiteral("pmiSuggestions"), QStringLiteral("Предлагаемые исправления"));
  FSuggestionsMenu = new QMenu(FContextMenu);
  suggestions->setMenu(FSuggestionsMenu);
  FContextMenu->addAction(suggestions);

  QAction* next = newAction(QStringLiteral("pmiMisspelling"), QStringLiteral("Найти следующую ошибку"));
  next->setShortcut(QKeySequence(Qt::Key_F6));
  next->setShortcutContext(Qt::WidgetShortcut);
  connect(next, &QAction::triggered, this, &TSpellMenu::FindNextMisspelling);
  FContextMenu->addAction(next);

  QAction* languages = newAction(QStringLiteral("pmiSelectLanguage"), QStringLiteral("Выбрать язык"));
  FLanguageMenu = new QMenu(FContextMenu);
  languages->setMenu(FLanguageMenu);
  FContextMenu->addAction(languages);
  auto* group = new QActionGroup(this);
  group->setExclusive(true);
  QAction* none = FLanguageMenu->addAction(QStringLiteral("Нет"));
  none->setObjectName(QStringLiteral("pmiNoSpellCheck"));
  none->setCheckable(true);
  none->setChecked(true);
  none->setData(0);
  none->setActionGroup(group);
  connect(none, &QAction::triggered, this, [this, none] { SelectSpellLanguage(none); });

  connect(FContextMenu, &QMenu::aboutToShow, this, &TSpellMenu::UpdateSpellMenu);

  if (FEditor) {
    QAction* addKey = newAction(QString(), QString());
    addKey->setShortcut(QKeySequence(Qt::Key_F5));
    addKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(addKey, &QAction::triggered, this, &TSpellMenu::AddWordToDictionary);
    QAction* nextKey = newAction(QString(), QString());
    nextKey->setShortcut(QKeySequence(Qt::Key_F6));
    nextKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(nextKey, &QAction::triggered, this, &TSpellMenu::FindNextMisspelling);
    FEditor->addAction(addKey);
    FEditor->addAction(nextKey);
  }
}

void TSpellMenu::UpdateSpellMenu() {
  if (!FEditor || !FContextMenu) return;
  const QString word = WordAtCaret(FEditor);
  const QString trimmed = TrimWord(word);
  QAction* add = FindPopupItem(FContextMenu, QStringLiteral("pmiAddToDictionary"));
  const bool misspelled = FSpellCheck && !FSpellCheck->CheckWord(word);
  if (add) add->setVisible(misspelled && !trimmed.isEmpty());
  QAction* suggestions = FindPopupItem(FContextMenu, QStringLiteral("pmiSuggestions"));
  if (suggestions) {
    // The entries are the menu's own: clearing deletes them.
    if (QMenu* sub = suggestions->menu()) sub->clear();
    suggestions->setVisible(false);
  }
  if (trimmed.isEmpty()) return;
  QStringList list;
  if (add && add->isVisible() && FSpellCheck && FSpellCheck->GetSuggestions(word, list) > 0 && suggestions &&
      suggestions->menu()) {
    QMenu* sub = suggestions->menu();
    for (int i = 0; i < list.size(); ++i) {
      if (list.at(i) == word) continue;
      QString caption = list.at(i);
      caption.replace(QLatin1Char('&'), QLatin1String("&&"));
      QAction* a = new QAction(caption, sub);
      a->setObjectName(QStringLiteral("Item") + QString::number(i));
      connect(a, &QAction::triggered, this, [this, a] { ReplaceBySuggestion(a); });
      sub->addAction(a);
    }
    suggestions->setVisible(!sub->actions().isEmpty());
  }
  if (QAction* a = FindPopupItem(FContextMenu, QStringLiteral("pmiMisspelling"))) a->setVisible(true);
  if (QAction* a = FindPopupItem(FContextMenu, QStringLiteral("pmiSelectLanguage"))) a->setVisible(true);
}

void TSpellMenu::AddWordToDictionary() {
  if (!FEditor || !FSpellCheck) return;
  const QPoint caret = FEditor->caretXY();
  FSpellCheck->AddDictWord(WordAtCaret(FEditor));
  FEditor->setCaretXY(caret);
  FEditor->viewport()->update();
}

void TSpellMenu::FindNextMisspelling() {
  if (!FEditor) return;
  QPoint p = FEditor->caretXY();
  bool found = false;
  while (!found) {
    const QPoint next = FEditor->nextWordPos(p);
    // The end of the last line has been reached when the next start no
    // longer moves; the search does not wrap around.
    if (next == p) break;
    p = next;
    const QString word = FEditor->wordAtRowCol(p.y(), p.x());
    int start = 0;
    found = FSpellCheck && !word.isEmpty() && FSpellCheck->IsMisspelledAt(FEditor, p.y(), p.x(), word, &start);
    if (found) p.setX(start + 1);
  }
  if (found) {
    FEditor->setCaretXY(p);
    return;
  }
  platform::beep();
  platform::showMessage(FEditor->window(), QStringLiteral("Ошибок больше не найдено!"));
}

void TSpellMenu::SelectSpellLanguage(QAction* Sender) {
  if (!Sender || !FSpellCheck) return;
  Sender->setChecked(true);
  const auto id = std::uint16_t(Sender->data().toInt());
  if (!FSpellCheck->SelectDictionary(id)) {
    // The dictionary went away or the engine refused it: checking is off,
    // and the menu says so instead of showing the language as chosen.
    if (FLanguageMenu && !FLanguageMenu->actions().isEmpty()) FLanguageMenu->actions().first()->setChecked(true);
    platform::showError(FEditor ? FEditor->window() : nullptr,
                        QStringLiteral("Не удаётся открыть словарь: ") + Sender->text());
  }
  if (FEditor) FEditor->viewport()->update();
}

void TSpellMenu::ReplaceBySuggestion(QAction* Sender) {
  if (!Sender || !FEditor) return;
  QString text = Sender->text();
  const int amp = int(text.indexOf(QLatin1Char('&')));
  if (amp >= 0) text.remove(amp, 1);
  const QPoint caret = FEditor->caretXY();
  TMTextWord word;
  if (!WordAtCaret(FEditor, word)) return;
  const QTextBlock block = FEditor->document()->findBlockByNumber(caret.y() - 1);
  if (!block.isValid()) return;
  QTextCursor c(block);
  c.setPosition(block.position() + int(word.start));
  c.setPosition(block.position() + int(word.start + word.length), QTextCursor::KeepAnchor);
  FEditor->setTextCursor(c);
  FEditor->setSelText(text + CodesInside(block.text(), word));
}
