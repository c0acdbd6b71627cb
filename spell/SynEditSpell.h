#pragma once
// The spelling component: finds the Hunspell dictionaries of a folder, opens
// one language at a time, answers whether a word is spelled correctly and
// what it could be instead, and keeps a user word list per language.
//
// Dictionaries are only listed when the folder is read; a language's files
// are parsed when the user chooses it, so start-up costs nothing however many
// dictionaries are installed.  Verdicts are cached per word until the
// language or the user word list changes, which keeps repainting cheap.
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

#include "core/Colors.h"
#include "mtext/MTextLexicon.h"
#include "spell/HunspellLib.h"

class TEditor;
class TSynMText;
class TSynMTextHighlighter;

// A set of enumerators (ordinal values below 32).
template <typename E>
class TEnumSet {
 public:
  TEnumSet() = default;
  TEnumSet(std::initializer_list<E> items) {
    for (E e : items) FBits |= bit(e);
  }
  bool contains(E e) const { return (FBits & bit(e)) != 0; }
  void insert(E e) { FBits |= bit(e); }
  void remove(E e) { FBits &= ~bit(e); }
  bool isEmpty() const { return FBits == 0; }
  bool operator==(const TEnumSet& o) const { return FBits == o.FBits; }
  bool operator!=(const TEnumSet& o) const { return FBits != o.FBits; }

 private:
  static std::uint32_t bit(E e) { return std::uint32_t(1) << unsigned(e); }
  std::uint32_t FBits = 0;
};

enum TCheckAttribute { caText, caComment, caString, caDocumentation, caIdentifier };
using TCheckAttributes = TEnumSet<TCheckAttribute>;

enum TSynSpellCheckOption {
  sscoAutoSpellCheck,   // underline while the editor paints
  sscoGoUp,             // the checking pass moves backwards
  sscoHideCursor,       // the pass suspends the editor's updates
  sscoHourGlass,        // busy cursor while a language opens and during the pass
  sscoIgnoreSingleChars,  // one-character words count as correct
  sscoStartFromCursor,  // the pass starts at the caret, not at the start of the text
  sscoSuggestWords,     // suggestions are produced at all
};
using TSynSpellCheckOptions = TEnumSet<TSynSpellCheckOption>;

enum TUnderlineStyle { usCorelWordPerfect, usMicrosoftWord };

// One dictionary found in the folder.  The engine reads the files itself
// when the language is opened, so only their names are kept.
struct TLoadedDict {
  std::uint16_t Id = 0;
  QString Shortname;  // the tag of the language's table row, e.g. "ru", "en-us"
  QString Filename;   // the file name without folder and extension, e.g. "ru_RU"
  QString AffFileName;
  QString DicFileName;
};
using TLoadedDicts = QVector<TLoadedDict>;

// A language list entry: display name with the identifier attached.
struct TDictLanguage {
  QString Name;
  std::uint16_t Id = 0;
};

class TSynEditSpellCheck : public QObject {
  Q_OBJECT
 public:
  using TNotifyEvent = std::function<void(QObject* Sender)>;
  using TOnAddWord = std::function<void(QObject* Sender, const QString& AWord)>;

  TSynEditSpellCheck(QObject* AOwner, TCheckAttributes ACheckAttri);
  ~TSynEditSpellCheck() override;

  // Lists the dictionary pairs of a folder.  A pair that cannot be read is
  // skipped and named once in a message; the others are kept.  A missing
  // folder changes nothing.  The result is always false.
  bool LoadDictionaries(const QString& APath);
  int GetDictIndex(std::uint16_t LangId) const;
  // 0 switches checking off (the open language stays open); the open
  // language switches it back on; another language closes the open one
  // (writing its user word list when it changed) and opens the new one.
  bool SelectDictionary(std::uint16_t LangId);
  bool SelectDictionary(const QString& LangShortname);
  void CloseDictionary();
  void SaveUserDictionary();
  bool GetDictLanguages(QVector<TDictLanguage>& ALangList) const;

  // True when checking is off, for an empty word and (with
  // sscoIgnoreSingleChars) for a one-character word.
  bool CheckWord(const QString& AWord);
  // Appends the engine's suggestions; the list's count, or 0 when nothing
  // was asked of the engine.
  int GetSuggestions(const QString& AWord, QStringList& SuggestionList);
  void AddDictWord(const QString& AWord);
  bool CheckHighlighterAttribute(const QString& AttributeName) const;

  // The highlighter that paints the editors this component checks.  When it
  // is attached to an editor's document, only words of the attributes named
  // at creation are checked there; otherwise every word is.
  void setHighlighter(TSynMTextHighlighter* highlighter);
  TSynMText* attachedHighlighter(const TEditor* AEditor) const;
  // Words are read from a line as the preview reads it (MTextWords): codes,
  // their arguments, %% symbols and stacks are no words, a word split by a
  // code (сл\Lово) is checked whole, and a token with a digit (H7, M10x1)
  // is not checked.  A word is misspelled when CheckWord says so and, with a
  // highlighter attached, its attribute is one of those named at creation.
  bool IsMisspelledWord(const TEditor* AEditor, const QString& ALine, const TMTextWord& AWord);
  // Whether a misspelled word starts inside the editor's word at (line,
  // column), 1-based; its start (0-based) goes to AStart.
  bool IsMisspelledAt(const TEditor* AEditor, int line, int column, const QString& word, int* AStart = nullptr);
  // The word of the line at the column (1-based) or ending just before it.
  static bool WordAtColumn(const QString& ALine, int column, TMTextWord& AWord);
  // The checking pass: stops with the caret on the next misspelled word.
  // Returns Enabled as it was on entry.
  bool SpellCheck(TEditor* AEditor);

  bool Busy() const { return FBusy; }
  bool Enabled() const { return FEnabled; }
  std::uint16_t LangId() const { return FLangId; }
  QString LanguageName() const;
  QString DictionaryPath() const { return FDictPath; }
  bool Modified() const { return FModified; }
  void setModified(bool m) { FModified = m; }
  TSynSpellCheckOptions Options() const { return FOptions; }
  void setOptions(TSynSpellCheckOptions o) { FOptions = o; }
  TColor UnderlineColor() const { return FUnderlineColor; }
  void setUnderlineColor(TColor c) { FUnderlineColor = c; }
  TUnderlineStyle UnderlineStyle() const { return FUnderlineStyle; }
  void setUnderlineStyle(TUnderlineStyle s) { FUnderlineStyle = s; }
  // The folder of the user word lists, with a trailing separator.  Without
  // one (empty) no list is read or written: added words live in the engine
  // until the language closes.
  QString UserDirectory() const;
  void setUserDirectory(const QString& path) { FUserDictPath = path; }
  const QStringList& UserDict() const { return FUserDict; }
  const TLoadedDicts& LoadedDicts() const { return FLoadedDicts; }
  QString UserFileName() const { return FUserFileName; }

  TNotifyEvent OnDictSelec, OnDone, OnStart;
  TOnAddWord OnAddWord;

 private:
  void clearVerdicts() { FVerdicts.clear(); }

  std::unique_ptr<THunspellEngine> FHunspellHandle;
  bool FEnabled = false;
  std::uint16_t FLangId = 0;
  bool FBusy = false;
  bool FModified = false;
  bool FUserDictBroken = false;  // the list on disk is kept as it is, never written over
  QString FDictPath;
  QString FUserFileName;
  QString FUserDictPath;
  TColor FUnderlineColor;
  TUnderlineStyle FUnderlineStyle = usMicrosoftWord;
  QStringList FUserDict;
  QStringList FCheckAttribs;
  TSynSpellCheckOptions FOptions;
  TLoadedDicts FLoadedDicts;
  QPointer<TSynMTextHighlighter> FHighlighter;
  QHash<QString, bool> FVerdicts;
};
