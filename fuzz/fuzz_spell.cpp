// The user word list on any bytes, read the way a language loads it, and the
// engine asked about the words found: check, suggest, add, with the real
// dictionaries of the build (Support/dict).
//
// The dictionaries are read once, before the first input, and every input
// meets them as they were: checks and suggestions ask the engines, which keep
// nothing, and words are added to a component of their own, opened afresh
// after a few dozen words.  What an input leaves behind also makes libFuzzer
// look for a leak, which scans the whole heap, dictionaries and all; so
// words are added for one input in 256.  A suggestion makes the engine try
// edits of the word with string comparisons the sanitizers intercept: from
// en_US it takes milliseconds, from ru_RU a tenth of a second and more, so
// one input in 1024 asks en_US and one in 16384 ru_RU, for words of up to 16
// characters.  Those inputs are chosen by a hash of the word, which the
// fuzzer's comparison tracing cannot steer towards and a saved input
// reproduces.
#include <QHash>
#include <QStringList>

#include "fuzz/FuzzCommon.h"
#include "spell/HunspellLib.h"
#include "spell/SynEditSpell.h"
#include "spell/UserDictionary.h"

namespace {

QString dictFolder() { return QCoreApplication::applicationDirPath() + QStringLiteral("/../Support/dict/"); }

std::unique_ptr<THunspellEngine> engine(const char* name) {
  const QString base = dictFolder() + QString::fromLatin1(name);
  auto e = THunspellEngine::create(base + QStringLiteral(".aff"), base + QStringLiteral(".dic"));
  if (!e) std::abort();  // the build copies ru_RU and en_US there
  return e;
}

TSynEditSpellCheck* openAdder(TSynEditSpellCheck* old) {
  delete old;
  // No user word list folder: nothing is read or written, added words stay in the engine.
  auto* spell = new TSynEditSpellCheck(nullptr, {caText, caIdentifier});
  spell->LoadDictionaries(dictFolder());
  if (!spell->SelectDictionary(0x0419)) std::abort();
  return spell;
}

THunspellEngine* russian = nullptr;
THunspellEngine* english = nullptr;
TSynEditSpellCheck* adder = nullptr;
int added = 0;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startApplication();
  russian = engine("ru_RU").release();
  english = engine("en_US").release();
  adder = openAdder(nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  const QStringList all = DecodeUserWordList(bytes);
  for (const QString& w : all) FUZZ_CHECK(!w.isEmpty() && TrimWord(w) == w);
  // A list with control characters is reported and keeps its sound words.
  QString error;
  const QStringList words = CheckUserWordList(bytes, QStringLiteral("ru.user.dic"), error);
  bool control = false;
  for (const char c : bytes) control = control || (uchar(c) < 0x20 && c != '\t' && c != '\n' && c != '\r');
  FUZZ_CHECK(error.isEmpty() != control && words.size() <= all.size());

  // Sorted and written as the list is written, it reads back the same.  Not
  // so a word holding half a surrogate pair (from a damaged UTF-16 list):
  // UTF-8 cannot hold it, and it comes back with U+FFFD in its place.
  QStringList sorted;
  for (const QString& w : words)
    if (w.isValidUtf16()) InsertSortedWord(sorted, w);
  FUZZ_CHECK(DecodeUserWordList(EncodeUserWordList(sorted)) == sorted);

  int n = 0;
  for (const QString& w : words) {
    if (++n > 16) break;
    russian->spell(w);
    english->spell(w);
    const size_t hash = qHash(w, 0);
    if (n == 1 && hash % 1024 == 0 && w.size() <= 16) (hash % 16384 == 0 ? russian : english)->suggest(w);
    if (n == 2 && hash % 256 == 1) {
      if (++added % 64 == 0) adder = openAdder(adder);
      adder->AddDictWord(w);
      FUZZ_CHECK(adder->UserDict().contains(w));
    }
  }
  return 0;
}
