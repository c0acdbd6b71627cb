#pragma once
// Languages of the dictionaries: the fixed table of language identifiers
// (Windows LANGID numbering, which the user word lists and menus carry) and
// their tags, and the Russian names shown in the language menu.
#include <QString>
#include <cstdint>

struct TLanguageRow {
  std::uint16_t Id;
  const char* Tag;  // lower case, sub-tag after "-"
};

constexpr int LanguageTableSize = 110;
// A lookup always takes the first matching row: some tags and identifiers repeat.
extern const TLanguageRow LanguageTable[LanguageTableSize];

// The combined English-Russian dictionary.
constexpr std::uint16_t LangIdEnglishRussian = 0x007F;
constexpr std::uint16_t LangIdEnglishUS = 0x0409;

// The first row with this tag, else the first whose tag begins with the same
// two letters, else English (US).  Letter case is ignored.
std::uint16_t LangTagToId(const QString& tag);
// The Russian display name; the row's tag when no name is known, "<?>" when
// the identifier is in no row either.
QString LangIdToName(std::uint16_t id);
// The row of a dictionary file name such as ru_RU or de_AT: its first five
// characters (with "_" read as "-") equal to a tag, else its first two
// characters equal to a whole tag; -1 when no row fits.
int GetLanguageIndex(const QString& shortName);
