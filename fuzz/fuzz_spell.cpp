// The user word list on any bytes, read from a file the way a language loads
// it, and the engine asked about the words found: check, suggest, add, with
// the real dictionaries of the build (Support/dict).  Suggestions from ru_RU
// take the engine a tenth of a second and more; they are asked for one input
// in sixteen, and en_US suggests for the rest.
#include <QStringList>

#include "fuzz/FuzzCommon.h"
#include "spell/SynEditSpell.h"
#include "spell/UserDictionary.h"

namespace {

TSynEditSpellCheck* russian = nullptr;
TSynEditSpellCheck* english = nullptr;
int inputs = 0;

TSynEditSpellCheck* open(TSynEditSpellCheck* old, std::uint16_t id) {
  delete old;
  auto* spell = new TSynEditSpellCheck(nullptr, {caText, caIdentifier});
  // No user word list folder: nothing is written, added words stay in the engine.
  spell->setOptions({sscoSuggestWords});
  spell->LoadDictionaries(QCoreApplication::applicationDirPath() + QStringLiteral("/../Support/dict/"));
  if (!spell->SelectDictionary(id)) std::abort();  // the build copies ru_RU and en_US there
  return spell;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startApplication();
  russian = open(nullptr, 0x0419);
  english = open(nullptr, 0x0409);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Added words pile up in the engine; a fresh one now and then keeps runs alike.
  if (++inputs % 20000 == 0) {
    russian = open(russian, 0x0419);
    english = open(english, 0x0409);
  }

  QStringList words;
  fuzz::check(ReadUserWordList(fuzz::writeScratch(data, size, "ru.user.dic"), words));
  for (const QString& w : words) fuzz::check(!w.isEmpty() && TrimWord(w) == w);

  // Sorted and written as the list is written, it reads back the same.
  QStringList sorted;
  for (const QString& w : words) InsertSortedWord(sorted, w);
  fuzz::check(DecodeUserWordList(EncodeUserWordList(sorted)) == sorted);

  int n = 0;
  for (const QString& w : words) {
    if (++n > 16) break;
    russian->CheckWord(w);
    english->CheckWord(w);
    if (n == 1 && size > 0 && data[0] % 16 == 0) {
      QStringList suggestions;
      (data[0] % 64 == 0 ? russian : english)->GetSuggestions(w, suggestions);
    }
    if (n == 2) {
      russian->AddDictWord(w);
      fuzz::check(russian->UserDict().contains(w));
    }
  }
  return 0;
}
