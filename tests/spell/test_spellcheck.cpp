// The spelling component with the real engine and the shipped dictionaries,
// in temporary folders.
#include <QFileInfo>
#include <QProcess>
#include <cstdlib>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "SpellTestUtil.h"
#include "TestMain.h"
#include "spell/SpellLanguages.h"
#include "spell/SynEditSpell.h"
#include "spell/UserDictionary.h"

using namespace spelltest;

namespace {

constexpr int WordsPerWriter = 40;

// A child run of this executable (KORVEX_ADD_WORDS=file|prefix) adds its
// words one merge at a time and ends before any test runs.
[[maybe_unused]] const bool FChildWriter = [] {
  const QString job = qEnvironmentVariable("KORVEX_ADD_WORDS");
  if (job.isEmpty()) return false;
  const QString file = job.section(QLatin1Char('|'), 0, 0), prefix = job.section(QLatin1Char('|'), 1);
  for (int i = 0; i < WordsPerWriter; ++i) {
    QStringList merged;
    QString error;
    if (!MergeUserWordList(file, {prefix + QString::number(i)}, merged, error)) std::_Exit(1);
  }
  std::_Exit(0);
}();

std::unique_ptr<TSynEditSpellCheck> newSpell(const QString& folder) {
  auto s = std::make_unique<TSynEditSpellCheck>(nullptr, TCheckAttributes{caText, caIdentifier});
  s->setUserDirectory(folder);
  s->setOptions({sscoAutoSpellCheck, sscoIgnoreSingleChars, sscoSuggestWords});
  s->LoadDictionaries(folder);
  return s;
}

}  // namespace

class TestSpellCheck : public QObject {
  Q_OBJECT
 private slots:
  void dictionariesOfAFolder() {
    QTemporaryDir dir;
    QVERIFY(copyDict("ru_RU", dir.path()));
    QVERIFY(copyDict("en_US", dir.path()));
    QVERIFY(copyDict("en_US", dir.path(), "en_ru"));
    QVERIFY(copyDict("en_US", dir.path(), "xx_YY"));
    QVERIFY(copyDict("en_US", dir.path(), "de_XX"));
    TMessages messages;
    auto s = newSpell(dir.path());
    QVERIFY(messages.FTexts.isEmpty());
    QCOMPARE(s->DictionaryPath(), dir.path() + "/");
    QCOMPARE(s->LoadedDicts().size(), 3);
    const TLoadedDict& enRu = s->LoadedDicts().at(0);
    QCOMPARE(enRu.Id, std::uint16_t(0x007F));
    QCOMPARE(enRu.Filename, QStringLiteral("en_ru"));
    QCOMPARE(s->LoadedDicts().at(1).Id, std::uint16_t(0x0409));
    QCOMPARE(s->LoadedDicts().at(1).Shortname, QStringLiteral("en-us"));
    QCOMPARE(s->LoadedDicts().at(2).Id, std::uint16_t(0x0419));
    QCOMPARE(s->LoadedDicts().at(2).Shortname, QStringLiteral("ru"));
    QVector<TDictLanguage> languages;
    QVERIFY(s->GetDictLanguages(languages));
    QCOMPARE(languages.at(0).Name, QStringLiteral("Англо-русский (Великобритания-Россия)"));
    QCOMPARE(languages.at(2).Name, QStringLiteral("Русский"));
    QCOMPARE(languages.at(2).Id, std::uint16_t(0x0419));
    // Nothing is opened until a language is chosen.
    QVERIFY(!s->Enabled());
    QCOMPARE(s->LangId(), std::uint16_t(0));
    QVERIFY(s->CheckWord("хорашая"));

    QVERIFY(s->SelectDictionary(0x0419));
    QCOMPARE(s->UserFileName(), QStringLiteral("ru.user.dic"));
    QVERIFY(s->SelectDictionary(QStringLiteral("en_US")));  // a tag, not a file name: the first "en" row
    QCOMPARE(s->UserFileName(), QStringLiteral("en_ru.user.dic"));
    QVERIFY(s->SelectDictionary(QStringLiteral("EN-US")));
    QCOMPARE(s->UserFileName(), QStringLiteral("en-us.user.dic"));
    QCOMPARE(s->LanguageName(), QStringLiteral("Английский (США)"));
    QVERIFY(!s->SelectDictionary(0x0407));  // no German here: closed and off
    QVERIFY(!s->Enabled());
    QCOMPARE(s->LangId(), std::uint16_t(0));
  }

  // An .aff without its .dic used to stop the whole list (and the window's
  // start-up with it).
  void dictionaryWithoutItsWordListIsSkipped() {
    QTemporaryDir dir;
    QVERIFY(copyDict("ru_RU", dir.path()));
    QVERIFY(QFile::copy(shippedDictFolder() + "en_US.aff", dir.path() + "/en_US.aff"));
    QVERIFY(copyDict("en_US", dir.path(), "en_GB"));
    QVERIFY(QFile::setPermissions(dir.path() + "/en_GB.dic", QFileDevice::WriteOwner));
    const bool unreadable = !QFile(dir.path() + "/en_GB.dic").open(QIODevice::ReadOnly);
    TMessages messages;
    auto s = newSpell(dir.path());
    QCOMPARE(messages.FTexts.size(), 1);  // once for all of them
    QVERIFY(messages.FTexts.at(0).contains(QDir::toNativeSeparators(dir.path() + "/en_US.dic")));
    QCOMPARE(s->LoadedDicts().size(), unreadable ? 1 : 2);  // root reads everything
    QCOMPARE(s->LoadedDicts().last().Shortname, QStringLiteral("ru"));
    QVERIFY(s->SelectDictionary(0x0419));
    QVERIFY(!s->CheckWord("хорашая"));
  }

  void missingFolderChangesNothing() {
    QTemporaryDir dir;
    QVERIFY(copyDict("ru_RU", dir.path()));
    auto s = newSpell(dir.path());
    s->LoadDictionaries(dir.path() + "/none");
    QCOMPARE(s->LoadedDicts().size(), 1);
    QCOMPARE(s->DictionaryPath(), dir.path() + "/");
  }

  void checkingWords() {
    QTemporaryDir dir;
    QVERIFY(copyDict("ru_RU", dir.path()));
    auto s = newSpell(dir.path());
    QVERIFY(s->SelectDictionary(0x0419));
    QVERIFY(s->Enabled());
    QVERIFY(s->CheckWord("хорошая"));
    QVERIFY(s->CheckWord("  хорошая\t"));
    QVERIFY(!s->CheckWord("хорашая"));
    QVERIFY(!s->CheckWord("хорашая"));  // the cached verdict
    QVERIFY(s->CheckWord(""));
    QVERIFY(s->CheckWord(" \t "));
    QVERIFY(s->CheckWord("щ"));  // one letter, ignored
    s->setOptions({sscoSuggestWords});
    QVERIFY(!s->CheckWord("щ"));
    QVERIFY(!s->CheckWord(QString(2000, QChar(0x0436))));  // no length limit, no crash
    QVERIFY(!s->CheckWord(QString(QChar(0xD800)) + "ab"));  // a lone surrogate has no UTF-8 form

    QStringList list{"kept"};
    const int n = s->GetSuggestions("хорашая", list);
    QCOMPARE(n, int(list.size()));
    QCOMPARE(list.first(), QStringLiteral("kept"));
    QVERIFY2(list.contains("хорошая"), qPrintable(list.join(',')));
    s->setOptions({});
    QStringList none;
    QCOMPARE(s->GetSuggestions("хорашая", none), 0);
    QVERIFY(none.isEmpty());

    QVERIFY(s->SelectDictionary(0));  // off, dictionary stays open
    QVERIFY(!s->Enabled());
    QVERIFY(s->CheckWord("хорашая"));
  }

  void userWordsAreKeptSortedAndWrittenBack() {
    QTemporaryDir dir;
    QVERIFY(copyDict("ru_RU", dir.path()));
    const QString userFile = dir.path() + "/ru.user.dic";
    {
      auto s = newSpell(dir.path());
      int added = 0;
      s->OnAddWord = [&](QObject*, const QString&) { ++added; };
      s->AddDictWord("Корвекс");  // closed: nothing
      QCOMPARE(added, 0);
      QVERIFY(s->SelectDictionary(0x0419));
      QVERIFY(!s->CheckWord("хорашая"));
      s->AddDictWord(" хорашая ");
      QVERIFY(s->CheckWord("хорашая"));  // the cache forgot its verdict
      QCOMPARE(readFile(userFile), QStringLiteral("хорашая\r\n").toUtf8());  // written at once
      QVERIFY(!s->Modified());
      s->AddDictWord("хорашая");  // already there: nothing at all
      QVERIFY(!s->Modified());
      s->AddDictWord("Word");
      s->AddDictWord("word");
      QCOMPARE(added, 3);
      QCOMPARE(s->UserDict(), QStringList({"Word", "word", "хорашая"}));
      s->SelectDictionary(0);
      s->AddDictWord("Корвекс");  // off: nothing
      QCOMPARE(s->UserDict().size(), 3);
    }  // destroying the component writes the list
    QCOMPARE(readFile(userFile), QByteArray("Word\r\nword\r\n") + QStringLiteral("хорашая\r\n").toUtf8());

    auto s = newSpell(dir.path());
    QVERIFY(s->SelectDictionary(0x0419));
    QVERIFY(s->CheckWord("хорашая"));  // known on the next run
    QVERIFY(!s->Modified());           // the list was already in its written form
  }

  void switchingLanguagesWritesOnlyAChangedList() {
    QTemporaryDir dir;
    QVERIFY(copyDict("ru_RU", dir.path()));
    QVERIFY(copyDict("en_US", dir.path()));
    const QString ruFile = dir.path() + "/ru.user.dic";
    auto s = newSpell(dir.path());
    int opened = 0;
    s->OnDictSelec = [&](QObject*) { ++opened; };
    QVERIFY(s->SelectDictionary(0x0419));
    QVERIFY(s->SelectDictionary(0x0409));
    QVERIFY(!QFileInfo::exists(ruFile));  // unchanged: not written

    // A hand-made list out of order and with duplicates is written back tidy.
    QVERIFY(writeFile(ruFile, QStringLiteral("  яблоко\n\nабвгд\nяблоко\n").toUtf8()));
    QVERIFY(s->SelectDictionary(0x0419));
    QVERIFY(s->CheckWord("абвгд"));
    QVERIFY(s->SelectDictionary(0x0409));
    QCOMPARE(readFile(ruFile), QStringLiteral("абвгд\r\nяблоко\r\n").toUtf8());
    const QDateTime written = QFileInfo(ruFile).lastModified();

    QVERIFY(s->SelectDictionary(0x0419));
    QVERIFY(s->SelectDictionary(0x0409));
    QCOMPARE(QFileInfo(ruFile).lastModified(), written);

    // Off and on again: the open language is not opened a second time.
    const int before = opened;
    s->AddDictWord("qwertyzz");
    QVERIFY(s->SelectDictionary(0));
    QVERIFY(s->SelectDictionary(0x0409));
    QCOMPARE(opened, before);
    QVERIFY(s->CheckWord("qwertyzz"));
  }

  // Without a folder for the user lists none is read or written.
  void noUserFolderKeepsWordsInTheEngine() {
    QTemporaryDir dir;
    QVERIFY(copyDict("ru_RU", dir.path()));
    const QString userFile = dir.path() + "/ru.user.dic";
    QVERIFY(writeFile(userFile, QStringLiteral("хорашая\r\n").toUtf8()));
    auto s = newSpell(dir.path());
    s->setUserDirectory(QString());
    QVERIFY(s->SelectDictionary(0x0419));
    QVERIFY(!s->CheckWord("хорашая"));
    s->AddDictWord("абвгдейка");
    QVERIFY(s->CheckWord("абвгдейка"));
    QVERIFY(s->Modified());  // added, and written nowhere
    s.reset();
    QCOMPARE(readFile(userFile), QStringLiteral("хорашая\r\n").toUtf8());
  }

  // Writing the list used to replace the file in place; a failed write lost
  // the words without a word.
  void failedWriteKeepsTheWords() {
    QTemporaryDir dir;
    QVERIFY(copyDict("ru_RU", dir.path()));
    const QString blocked = dir.path() + "/blocked";
    QVERIFY(writeFile(blocked, "a file where the folder should be"));
    TMessages messages;
    auto s = newSpell(dir.path());
    s->setUserDirectory(blocked + "/sub");
    QVERIFY(s->SelectDictionary(0x0419));
    s->AddDictWord("хорашая");
    QCOMPARE(messages.FTexts.size(), 1);
    QVERIFY(messages.FTexts.at(0).startsWith("Ошибка при сохранении " +
                                             QDir::toNativeSeparators(blocked + "/sub/ru.user.dic")));
    QVERIFY(s->Modified());
    QCOMPARE(s->UserDict(), QStringList{"хорашая"});
    s->setUserDirectory(dir.path() + "/later");
    s->SaveUserDictionary();  // the next chance writes them
    QCOMPARE(readFile(dir.path() + "/later/ru.user.dic"), QStringLiteral("хорашая\r\n").toUtf8());
    QVERIFY(!s->Modified());
    QCOMPARE(messages.FTexts.size(), 1);
  }

  // Two windows on one folder: the list written last used to replace the
  // other's words.
  void twoWindowsKeepEveryWord() {
    QTemporaryDir dir;
    QVERIFY(copyDict("ru_RU", dir.path()));
    const QString userFile = dir.path() + "/ru.user.dic";
    QVERIFY(writeFile(userFile, "\xD0\xB0\xD0\xB1\xD0\xB2\r\n"));  // "абв", written by hand
    {
      auto first = newSpell(dir.path());
      auto second = newSpell(dir.path());
      QVERIFY(first->SelectDictionary(0x0419));
      QVERIFY(second->SelectDictionary(0x0419));
      first->AddDictWord("первоеслово");
      second->AddDictWord("второеслово");
      QCOMPARE(DecodeUserWordList(readFile(userFile)), QStringList({"абв", "второеслово", "первоеслово"}));
      QVERIFY(second->CheckWord("первоеслово"));  // learnt from the file when it wrote
      QVERIFY(!first->CheckWord("второеслово"));  // not yet: it has not written since
    }  // closing either, in either order, keeps both
    QCOMPARE(DecodeUserWordList(readFile(userFile)), QStringList({"абв", "второеслово", "первоеслово"}));
    QVERIFY(!QFileInfo::exists(userFile + ".lock"));
  }

  // Processes writing at the same moment: the lock keeps every word.
  void concurrentWritersKeepEveryWord() {
    QTemporaryDir dir;
    const QString userFile = dir.path() + "/ru.user.dic";
    QList<QProcess*> writers;
    for (const char* prefix : {"a", "b", "c"}) {
      auto* p = new QProcess(this);
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("KORVEX_ADD_WORDS", userFile + "|" + prefix);
      p->setProcessEnvironment(env);
      p->start(QCoreApplication::applicationFilePath(), {});
      writers << p;
    }
    for (QProcess* p : writers) {
      QVERIFY(p->waitForFinished(60000));
      QCOMPARE(p->exitCode(), 0);
    }
    const QStringList words = DecodeUserWordList(readFile(userFile));
    QCOMPARE(words.size(), 3 * WordsPerWriter);
  }

  // A list the program cannot have written is kept byte for byte: its
  // words are read, the user told where it is broken, new words not written.
  void brokenListIsKept() {
    QTemporaryDir dir;
    QVERIFY(copyDict("ru_RU", dir.path()));
    const QString userFile = dir.path() + "/ru.user.dic";
    static const char raw[] = "\xD0\xB0\xD0\xB1\xD0\xB2\r\nabc\x00\x01\x02\r\n";
    const QByteArray broken(raw, sizeof raw - 1);
    QVERIFY(writeFile(userFile, broken));
    TMessages messages;
    {
      auto s = newSpell(dir.path());
      QVERIFY(s->SelectDictionary(0x0419));
      QCOMPARE(messages.FTexts.size(), 1);
      QVERIFY(messages.FTexts.at(0).contains(QDir::toNativeSeparators(userFile)));
      QVERIFY(messages.FTexts.at(0).contains("строка 2"));
      QVERIFY(s->CheckWord("абв"));
      s->AddDictWord("хорашая");
      QVERIFY(s->CheckWord("хорашая"));
    }
    QCOMPARE(readFile(userFile), broken);
    QCOMPARE(messages.FTexts.size(), 1);
  }

  void emptyListIsNeverWritten() {
    QTemporaryDir dir;
    QVERIFY(copyDict("en_US", dir.path()));
    auto s = newSpell(dir.path());
    QVERIFY(s->SelectDictionary(0x0409));
    s->setModified(true);
    s->SaveUserDictionary();
    QVERIFY(!QFileInfo::exists(dir.path() + "/en-us.user.dic"));
    QVERIFY(!s->Modified());
  }

  // Words reach the engine in the dictionary's own encoding.
  void eightBitDictionary() {
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.path() + "/ru_RU.aff", "SET KOI8-R\nTRY оеиа\n"));
    // "привет" and "мир" in KOI8-R.
    QVERIFY(writeFile(dir.path() + "/ru_RU.dic", "2\n\xD0\xD2\xC9\xD7\xC5\xD4\n\xCD\xC9\xD2\n"));
    auto s = newSpell(dir.path());
    QVERIFY(s->SelectDictionary(0x0419));
    QVERIFY(s->CheckWord("привет"));
    QVERIFY(!s->CheckWord("превет"));
    QVERIFY(!s->CheckWord("日本"));  // KOI8-R cannot hold it: misspelled, no crash
    QStringList list;
    s->GetSuggestions("привот", list);
    QCOMPARE(list.value(0), QStringLiteral("привет"));
    QStringList none;
    QCOMPARE(s->GetSuggestions("日本", none), 0);
    s->AddDictWord("ёжик");
    QVERIFY(s->CheckWord("ёжик"));
  }

  void userListCodec() {
    QCOMPARE(DecodeUserWordList("\xEF\xBB\xBF b \r\n\r\n\ta\n"), QStringList({"b", "a"}));
    QCOMPARE(DecodeUserWordList(QByteArray("\xEF\xF0\xE8\xE2\xE5\xF2\r\n")), QStringList{"привет"});  // 1251
    QCOMPARE(EncodeUserWordList({"a", "б"}), QByteArray("a\r\n") + QStringLiteral("б\r\n").toUtf8());
    // A zero-width no-break space opening a line in the middle would become a
    // byte-order mark once the word is written first, and the word would change.
    const QStringList words = DecodeUserWordList("\xEF\xBB\xBFz\n\xEF\xBB\xBFword\n");
    QCOMPARE(words, QStringList({"z", "word"}));
    QCOMPARE(DecodeUserWordList(EncodeUserWordList(words)), words);
    QStringList l;
    QVERIFY(InsertSortedWord(l, "b"));
    QVERIFY(InsertSortedWord(l, "B"));
    QVERIFY(InsertSortedWord(l, "a"));
    QVERIFY(!InsertSortedWord(l, "b"));
    QCOMPARE(l, QStringList({"B", "a", "b"}));
  }
};

KORVEX_TEST(TestSpellCheck)
#include "test_spellcheck.moc"
