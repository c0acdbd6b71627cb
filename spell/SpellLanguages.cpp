#include "spell/SpellLanguages.h"

const TLanguageRow LanguageTable[LanguageTableSize] = {
    {0x007F, "en_ru"}, {0x0436, "af"},    {0x041C, "sq"},    {0x0401, "ar-sa"}, {0x0801, "ar-iq"},
    {0x0C01, "ar-eg"}, {0x1001, "ar-ly"}, {0x1401, "ar-dz"}, {0x1801, "ar-ma"}, {0x1C01, "ar-tn"},
    {0x2001, "ar-om"}, {0x2401, "ar-ye"}, {0x2801, "ar-sy"}, {0x2C01, "ar-jo"}, {0x3001, "ar-lb"},
    {0x3401, "ar-kw"}, {0x3801, "ar-ae"}, {0x3C01, "ar-bh"}, {0x4001, "ar-qa"}, {0x042D, "eu"},
    {0x0023, "be"},    {0x0002, "bg"},    {0x0003, "ca"},    {0x0004, "zh"},    {0x0404, "zh-tw"},
    {0x0804, "zh-cn"}, {0x0C04, "zh-hk"}, {0x1004, "zh-sg"}, {0x001A, "hr"},    {0x0005, "cs"},
    {0x0006, "da"},    {0x0413, "nl-nl"}, {0x0813, "nl-be"}, {0x0409, "en-us"}, {0x0809, "en-uk"},
    {0x0809, "en-gb"}, {0x0C09, "en-au"}, {0x1009, "en-ca"}, {0x1409, "en-nz"}, {0x1809, "en-ie"},
    {0x1C09, "en-za"}, {0x2009, "en-jm"}, {0x2409, "en-cb"}, {0x2809, "en-bz"}, {0x2C09, "en-tt"},
    {0x0025, "et"},    {0x0038, "fo"},    {0x0029, "fa"},    {0x000B, "fi"},    {0x040C, "fr-fr"},
    {0x080C, "fr-be"}, {0x0C0C, "fr-ca"}, {0x100C, "fr-ch"}, {0x140C, "fr-lu"}, {0x0407, "de-de"},
    {0x0807, "de-ch"}, {0x0C07, "de-at"}, {0x1007, "de-lu"}, {0x1407, "de-li"}, {0x0008, "el"},
    {0x000D, "he"},    {0x000E, "hu"},    {0x000F, "is"},    {0x0021, "id"},    {0x0410, "it-it"},
    {0x0810, "it-ch"}, {0x0011, "ja"},    {0x0412, "ko"},    {0x0412, "ko-ko"}, {0x0812, "ko-kp"},
    {0x0426, "lv"},    {0x0427, "lt"},    {0x0414, "no"},    {0x0814, "no-no"}, {0x0415, "pl"},
    {0x0816, "pt-pt"}, {0x0016, "pt-br"}, {0x0418, "ro"},    {0x0419, "ru"},    {0x041A, "sr"},
    {0x081A, "sr"},    {0x0C1A, "sr"},    {0x041B, "sk"},    {0x0424, "sl"},    {0x040A, "es"},
    {0x080A, "es-mx"}, {0x0C0A, "es"},    {0x100A, "es-gt"}, {0x140A, "es-cr"}, {0x180A, "es-pa"},
    {0x1C0A, "es-do"}, {0x200A, "es-ve"}, {0x240A, "es-co"}, {0x280A, "es-pe"}, {0x2C0A, "es-ar"},
    {0x300A, "es-ec"}, {0x340A, "es-cl"}, {0x380A, "es-uy"}, {0x3C0A, "es-py"}, {0x400A, "es-bo"},
    {0x440A, "es-sv"}, {0x480A, "es-hn"}, {0x4C0A, "es-ni"}, {0x500A, "es-pr"}, {0x041D, "sv"},
    {0x081D, "sv-fi"}, {0x041E, "th"},    {0x041F, "tr"},    {0x0422, "uk"},    {0x042A, "vi"},
};

namespace {

struct TLanguageName {
  std::uint16_t Id;
  const char* Name;
};

// Names of whole identifiers: the languages spoken in several countries and
// those whose identifier means something other than its tag suggests.
const TLanguageName ExactNames[] = {
    {0x0401, "Арабский (Саудовская Аравия)"}, {0x0801, "Арабский (Ирак)"},
    {0x0C01, "Арабский (Египет)"},            {0x1001, "Арабский (Ливия)"},
    {0x1401, "Арабский (Алжир)"},             {0x1801, "Арабский (Марокко)"},
    {0x1C01, "Арабский (Тунис)"},             {0x2001, "Арабский (Оман)"},
    {0x2401, "Арабский (Йемен)"},             {0x2801, "Арабский (Сирия)"},
    {0x2C01, "Арабский (Иордания)"},          {0x3001, "Арабский (Ливан)"},
    {0x3401, "Арабский (Кувейт)"},            {0x3801, "Арабский (ОАЭ)"},
    {0x3C01, "Арабский (Бахрейн)"},           {0x4001, "Арабский (Катар)"},
    {0x0404, "Китайский (Тайвань)"},          {0x0804, "Китайский (КНР)"},
    {0x0C04, "Китайский (Гонконг)"},          {0x1004, "Китайский (Сингапур)"},
    {0x0413, "Нидерландский (Нидерланды)"},   {0x0813, "Нидерландский (Бельгия)"},
    {0x0409, "Английский (США)"},             {0x0809, "Английский (Великобритания)"},
    {0x0C09, "Английский (Австралия)"},       {0x1009, "Английский (Канада)"},
    {0x1409, "Английский (Новая Зеландия)"},  {0x1809, "Английский (Ирландия)"},
    {0x1C09, "Английский (ЮАР)"},             {0x2009, "Английский (Ямайка)"},
    {0x2409, "Английский (Карибский регион)"}, {0x2809, "Английский (Белиз)"},
    {0x2C09, "Английский (Тринидад и Тобаго)"}, {0x040C, "Французский (Франция)"},
    {0x080C, "Французский (Бельгия)"},        {0x0C0C, "Французский (Канада)"},
    {0x100C, "Французский (Швейцария)"},      {0x140C, "Французский (Люксембург)"},
    {0x0407, "Немецкий (Германия)"},          {0x0807, "Немецкий (Швейцария)"},
    {0x0C07, "Немецкий (Австрия)"},           {0x1007, "Немецкий (Люксембург)"},
    {0x1407, "Немецкий (Лихтенштейн)"},       {0x0410, "Итальянский (Италия)"},
    {0x0810, "Итальянский (Швейцария)"},      {0x0812, "Корейский (Йохаб)"},
    {0x0414, "Норвежский (букмол)"},          {0x0814, "Норвежский (нюнорск)"},
    {0x0816, "Португальский (Португалия)"},   {0x041A, "Хорватский"},
    {0x081A, "Сербский (латиница)"},          {0x0C1A, "Сербский (кириллица)"},
    {0x040A, "Испанский (традиционная сортировка)"}, {0x080A, "Испанский (Мексика)"},
    {0x0C0A, "Испанский (Испания)"},          {0x100A, "Испанский (Гватемала)"},
    {0x140A, "Испанский (Коста-Рика)"},       {0x180A, "Испанский (Панама)"},
    {0x1C0A, "Испанский (Доминиканская Республика)"}, {0x200A, "Испанский (Венесуэла)"},
    {0x240A, "Испанский (Колумбия)"},         {0x280A, "Испанский (Перу)"},
    {0x2C0A, "Испанский (Аргентина)"},        {0x300A, "Испанский (Эквадор)"},
    {0x340A, "Испанский (Чили)"},             {0x380A, "Испанский (Уругвай)"},
    {0x3C0A, "Испанский (Парагвай)"},         {0x400A, "Испанский (Боливия)"},
    {0x440A, "Испанский (Сальвадор)"},        {0x480A, "Испанский (Гондурас)"},
    {0x4C0A, "Испанский (Никарагуа)"},        {0x500A, "Испанский (Пуэрто-Рико)"},
    {0x081D, "Шведский (Финляндия)"},
};

// Names of primary languages (the low ten bits of an identifier).
const TLanguageName PrimaryNames[] = {
    {0x01, "Арабский"},     {0x02, "Болгарский"},   {0x03, "Каталанский"},  {0x04, "Китайский"},
    {0x05, "Чешский"},      {0x06, "Датский"},      {0x07, "Немецкий"},     {0x08, "Греческий"},
    {0x09, "Английский"},   {0x0A, "Испанский"},    {0x0B, "Финский"},      {0x0C, "Французский"},
    {0x0D, "Иврит"},        {0x0E, "Венгерский"},   {0x0F, "Исландский"},   {0x10, "Итальянский"},
    {0x11, "Японский"},     {0x12, "Корейский"},    {0x13, "Нидерландский"}, {0x14, "Норвежский"},
    {0x15, "Польский"},     {0x16, "Португальский"}, {0x18, "Румынский"},   {0x19, "Русский"},
    {0x1A, "Хорватский"},   {0x1B, "Словацкий"},    {0x1C, "Албанский"},    {0x1D, "Шведский"},
    {0x1E, "Тайский"},      {0x1F, "Турецкий"},     {0x21, "Индонезийский"}, {0x22, "Украинский"},
    {0x23, "Белорусский"},  {0x24, "Словенский"},   {0x25, "Эстонский"},    {0x26, "Латышский"},
    {0x27, "Литовский"},    {0x29, "Персидский"},   {0x2A, "Вьетнамский"},  {0x2D, "Баскский"},
    {0x36, "Африкаанс"},    {0x38, "Фарерский"},
};

bool SameTag(const QString& a, const char* tag) { return a.compare(QLatin1String(tag), Qt::CaseInsensitive) == 0; }

}  // namespace

std::uint16_t LangTagToId(const QString& tag) {
  for (const TLanguageRow& row : LanguageTable)
    if (SameTag(tag, row.Tag)) return row.Id;
  const QString two = tag.left(2);
  for (const TLanguageRow& row : LanguageTable)
    if (QString::fromLatin1(row.Tag).left(2).compare(two, Qt::CaseInsensitive) == 0) return row.Id;
  return LangIdEnglishUS;
}

QString LangIdToName(std::uint16_t id) {
  if (id == LangIdEnglishRussian) return QStringLiteral("Англо-русский (Великобритания-Россия)");
  for (const TLanguageName& n : ExactNames)
    if (n.Id == id) return QString::fromUtf8(n.Name);
  for (const TLanguageName& n : PrimaryNames)
    if (n.Id == (id & 0x3FF)) return QString::fromUtf8(n.Name);
  for (const TLanguageRow& row : LanguageTable)
    if (row.Id == id) return QString::fromLatin1(row.Tag);
  return QStringLiteral("<?>");
}

int GetLanguageIndex(const QString& shortName) {
  const QString s = shortName.left(5);
  QString dashed = s;
  dashed.replace(QLatin1Char('_'), QLatin1Char('-'));
  for (int i = 0; i < LanguageTableSize; ++i)
    if (SameTag(s, LanguageTable[i].Tag) || SameTag(dashed, LanguageTable[i].Tag)) return i;
  const QString two = shortName.left(2);
  for (int i = 0; i < LanguageTableSize; ++i)
    if (SameTag(two, LanguageTable[i].Tag)) return i;
  return -1;
}
