#include "spell/SynEditSpell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include "highlight/SynHighlighterMText.h"
#include "core/FileErrors.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "spell/SpellLanguages.h"
#include "spell/UserDictionary.h"

namespace {

QString WithSeparator(const QString& path) {
  if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator())) return path;
  return path + QLatin1Char('/');
}

bool CanRead(const QString& fileName) {
  QFile f(fileName);
  return QFileInfo(fileName).isFile() && f.open(QIODevice::ReadOnly);
}

// The busy cursor for the lifetime of the object, when asked for.
class TBusyCursor {
 public:
  explicit TBusyCursor(bool on) : FOn(on && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    if (FOn) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~TBusyCursor() {
    if (FOn) QGuiApplication::restoreOverrideCursor();
  }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;

 private:
  bool FOn;
};

}  // namespace

TSynEditSpellCheck::TSynEditSpellCheck(QObject* AOwner, TCheckAttributes ACheckAttri)
    : QObject(AOwner), FUnderlineColor(RGBColor(255, 0, 0)) {
  static const char* const names[] = {"Text", "Comment", "String", "Documentation", "Identifier"};
  for (int a = caText; a <= caIdentifier; ++a)
    if (ACheckAttri.contains(TCheckAttribute(a))) FCheckAttribs << QString::fromLatin1(names[a]);
}

TSynEditSpellCheck::~TSynEditSpellCheck() { CloseDictionary(); }

bool TSynEditSpellCheck::LoadDictionaries(const QString& APath) {
  const QDir dir(APath);
  if (!APath.isEmpty() && dir.exists()) {
    FDictPath = WithSeparator(APath);
    FLoadedDicts.clear();
    QStringList unreadable;
    const QStringList affs =
        dir.entryList({QStringLiteral("*.aff")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QString& fileName : affs) {
      const QString name = fileName.left(fileName.size() - 4);
      const int row = GetLanguageIndex(name);
      if (row < 0) continue;
      TLoadedDict d;
      d.Id = LanguageTable[row].Id;
      d.Shortname = QString::fromLatin1(LanguageTable[row].Tag);
      d.Filename = name;
      d.AffFileName = FDictPath + fileName;
      d.DicFileName = FDictPath + name + QStringLiteral(".dic");
      // A pair with a part missing or unreadable would fail only when the
      // user chooses its language; it is left out now, and said so once.
      if (!CanRead(d.AffFileName)) {
        unreadable << QDir::toNativeSeparators(d.AffFileName);
        continue;
      }
      if (!CanRead(d.DicFileName)) {
        unreadable << QDir::toNativeSeparators(d.DicFileName);
        continue;
      }
      FLoadedDicts.push_back(d);
    }
    if (!unreadable.isEmpty())
      platform::showError(nullptr, QStringLiteral("Не удаётся прочитать файл словаря:\n%1\n"
                                                  "Этот язык не будет предложен для проверки орфографии.")
                                       .arg(unreadable.join(QLatin1Char('\n'))));
  }
  return false;
}

int TSynEditSpellCheck::GetDictIndex(std::uint16_t LangId) const {
  for (int i = 0; i < FLoadedDicts.size(); ++i)
    if (FLoadedDicts.at(i).Id == LangId) return i;
  return -1;
}

bool TSynEditSpellCheck::SelectDictionary(const QString& LangShortname) {
  return SelectDictionary(LangTagToId(LangShortname));
}

bool TSynEditSpellCheck::SelectDictionary(std::uint16_t LangId) {
  if (LangId == 0) {
    FEnabled = false;
    return true;
  }
  if (LangId == FLangId) {
    FEnabled = true;
    return true;
  }
  const int index = GetDictIndex(LangId);
  if (index < 0) {
    CloseDictionary();
    FLangId = 0;
    FEnabled = false;
    clearVerdicts();
    return false;
  }
  TBusyCursor busy(FOptions.contains(sscoHourGlass));
  if (FHunspellHandle) CloseDictionary();
  clearVerdicts();
  const TLoadedDict& d = FLoadedDicts.at(index);
  FLangId = d.Id;
  FHunspellHandle = THunspellEngine::create(d.AffFileName, d.DicFileName);
  FUserFileName = d.Shortname + QStringLiteral(".user.dic");
  FModified = false;
  FUserDictBroken = false;
  if (!FUserDictPath.isEmpty() && FHunspellHandle) {
    FUserDict.clear();
    const QString fileName = UserDirectory() + FUserFileName;
    QFile f(fileName);
    if (f.open(QIODevice::ReadOnly)) {
      const QByteArray bytes = f.readAll();
      QString broken;
      for (const QString& w : CheckUserWordList(bytes, fileName, broken))
        if (InsertSortedWord(FUserDict, w)) FHunspellHandle->add(w);
      if (!broken.isEmpty()) {
        // Kept as it is for the user to mend: words added now live until the
        // language closes but are not written over it.
        FUserDictBroken = true;
        platform::showError(nullptr, broken + QStringLiteral("\nСлова, добавленные сейчас, не будут записаны в "
                                                              "этот файл, пока он не исправлен."));
      } else {
        // A list that was not in its written form (unsorted, duplicates, other
        // breaks) is written back in it when the language closes.
        FModified = bytes != EncodeUserWordList(FUserDict);
      }
    } else if (f.exists()) {
      FUserDictBroken = true;
      platform::showError(nullptr, QStringLiteral("Не удается прочитать файл слов пользователя %1: %2")
                                       .arg(QDir::toNativeSeparators(fileName), FileErrorText(f)));
    }
  }
  const bool result = FHunspellHandle != nullptr;
  if (OnDictSelec) OnDictSelec(this);
  FEnabled = result;
  return result;
}

void TSynEditSpellCheck::CloseDictionary() {
  SaveUserDictionary();
  FHunspellHandle.reset();
  clearVerdicts();
}

void TSynEditSpellCheck::SaveUserDictionary() {
  if (!FModified || FUserDictPath.isEmpty()) return;
  const QString folder = UserDirectory();
  const QString fileName = folder + FUserFileName;
  if (FUserDict.isEmpty() || FUserFileName.isEmpty() || FUserDictBroken) {
    // An empty list never writes (nor deletes) the file, nor is a broken
    // one written over.
    FModified = false;
    return;
  }
  // Merged with what other windows wrote since: the file gets every word,
  // and this list learns theirs.
  QString error;
  QStringList merged;
  if (!QDir().mkpath(folder)) {
    error = QStringLiteral("Ошибка при сохранении %1: папку не удается создать").arg(QDir::toNativeSeparators(fileName));
  } else if (!MergeUserWordList(fileName, FUserDict, merged, error)) {
    if (error.isEmpty()) error = QStringLiteral("Ошибка при сохранении ") + QDir::toNativeSeparators(fileName);
  }
  if (!error.isEmpty()) {
    // The words stay in the list and are written at the next chance.
    platform::showError(nullptr, error);
    return;
  }
  for (const QString& w : merged)
    if (InsertSortedWord(FUserDict, w) && FHunspellHandle) FHunspellHandle->add(w);
  clearVerdicts();
  FModified = false;
}

bool TSynEditSpellCheck::GetDictLanguages(QVector<TDictLanguage>& ALangList) const {
  for (const TLoadedDict& d : FLoadedDicts) ALangList.push_back({LangIdToName(d.Id), d.Id});
  return !ALangList.isEmpty();
}

bool TSynEditSpellCheck::CheckWord(const QString& AWord) {
  if (!FEnabled || !FHunspellHandle) return true;
  const QString w = TrimWord(AWord);
  if (w.isEmpty() || (FOptions.contains(sscoIgnoreSingleChars) && w.size() == 1)) return true;
  const auto cached = FVerdicts.constFind(w);
  if (cached != FVerdicts.constEnd()) return cached.value();
  const bool correct = FHunspellHandle->spell(w);
  FVerdicts.insert(w, correct);
  return correct;
}

int TSynEditSpellCheck::GetSuggestions(const QString& AWord, QStringList& SuggestionList) {
  if (!FOptions.contains(sscoSuggestWords) || !FEnabled || !FHunspellHandle) return 0;
  SuggestionList << FHunspellHandle->suggest(AWord);
  return int(SuggestionList.size());
}

void TSynEditSpellCheck::AddDictWord(const QString& AWord) {
  const QString w = TrimWord(AWord);
  if (!FEnabled || !FHunspellHandle || w.isEmpty()) return;
  if (!InsertSortedWord(FUserDict, w)) return;
  FHunspellHandle->add(w);
  FModified = true;
  clearVerdicts();
  // Written at once: a crash, a signal or another window closing later must
  // not lose the word.
  SaveUserDictionary();
  if (OnAddWord) OnAddWord(this, AWord);
}

bool TSynEditSpellCheck::CheckHighlighterAttribute(const QString& AttributeName) const {
  return FCheckAttribs.contains(AttributeName, Qt::CaseInsensitive);
}

QString TSynEditSpellCheck::LanguageName() const { return LangIdToName(FLangId); }

QString TSynEditSpellCheck::UserDirectory() const { return WithSeparator(FUserDictPath); }

void TSynEditSpellCheck::setHighlighter(TSynMTextHighlighter* highlighter) { FHighlighter = highlighter; }
