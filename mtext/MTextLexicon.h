#pragma once
// The MText lexicon: one table of the codes (mtext/MTextLexicon.cpp opens with
// it) and one tokenizer over it.  The renderer draws by its tokens, the
// highlighter colours them and the spell checker splits words with them, so
// all three agree on which codes exist and where each one ends.
#include <QString>
#include <QStringView>
#include <QVector>

// What a token is.
enum TMTextLexKind : quint8 {
  lkChar,        // one character drawn as itself (also a backslash that starts no code, a lone %)
  lkEscape,      // \\ \{ \}: the second character drawn
  lkCode,        // a code of the table with its argument and terminator
  lkSymbol,      // %%c %%d %%p (code: the lower-case letter) or %%nnn (code 0, ch: the character)
  lkGroupOpen,   // {
  lkGroupClose,  // }
};

// How a code's argument is written, and so where the code ends.
enum TMTextArgForm : quint8 {
  afNone,     // the letter alone: \L
  afText,     // text up to ";" or the end of the text: \fArial;
  afNumber,   // a number up to ";"; a text that is no number leaves the letter alone: \C1;
  afHeight,   // a number up to "x", "x;" or ";", or the end of the text: \H2x;
  afUnicode,  // "+" and four hexadecimal digits: \U+0416
};

// What a code does, for those who do not draw (highlighter, word splitting).
enum TMTextEffect : quint8 {
  efFormat,     // changes the formatting only: draws nothing, a word goes on across it
  efLineBreak,  // starts a new line
  efSpace,      // draws a space
  efCharacter,  // draws one character
  efStack,      // draws a stacked text
};

struct TMTextCodeInfo {
  char letter;
  TMTextArgForm arg;
  TMTextEffect effect;
  const char* terminator;
  const char* meaning;
  const char* example;
};

// The table, in the order of the reference at the top of MTextLexicon.cpp.
const TMTextCodeInfo* MTextCodeTable(int* count);
// The entry of a code letter (case-sensitive), or nullptr.
const TMTextCodeInfo* MTextCodeInfo(QChar letter);

struct TMTextToken {
  TMTextLexKind kind = lkChar;
  qsizetype start = 0;
  qsizetype length = 1;
  // lkCode: the code letter; lkSymbol: c, d, p or 0 for %%nnn.
  char16_t code = 0;
  // lkCode: the argument, after the letter and before the terminator.
  qsizetype argStart = 0;
  qsizetype argLength = 0;
  // afNumber and afHeight: the value read (0 when it is no number); valueOk
  // false means the code is the letter alone (afNumber) or the value counts
  // as 0 (afHeight).  relative: \H...x.
  double value = 0;
  bool valueOk = false;
  bool relative = false;
  // The character drawn by lkChar, lkEscape, \U+XXXX and %%nnn.
  char16_t ch = 0;
  const TMTextCodeInfo* info = nullptr;

  qsizetype end() const { return start + length; }
};

// Finds the tokens of one text, left to right.  A code without its terminator
// takes the rest of the text; the lexer remembers the terminator it found, so
// that a text full of such codes is still read in one pass.
class TMTextLexer {
 public:
  explicit TMTextLexer(QStringView text) : FText(text.data()), FLen(text.size()) {}
  TMTextLexer(const QChar* text, qsizetype len) : FText(text), FLen(len) {}

  // The token that starts at pos (0 <= pos < length).
  TMTextToken scan(qsizetype pos) {
    TMTextToken t;
    t.start = pos;
    t.ch = FText[pos].unicode();
    switch (t.ch) {
      case u'\\':
        backslash(pos, t);
        break;
      case u'%':
        percent(pos, t);
        break;
      case u'{':
        t.kind = lkGroupOpen;
        break;
      case u'}':
        t.kind = lkGroupClose;
        break;
      default:
        break;
    }
    return t;
  }
  qsizetype length() const { return FLen; }

 private:
  // The next position at or after from whose character is a stop, or the end.
  class TNextStop {
   public:
    template <typename IsStop>
    qsizetype find(const QChar* s, qsizetype len, qsizetype from, IsStop isStop) {
      if (from >= FFrom && from <= FAt) return FAt;
      qsizetype i = from;
      while (i < len && !isStop(s[i])) ++i;
      FFrom = from;
      FAt = i;
      return i;
    }

   private:
    qsizetype FFrom = 1;
    qsizetype FAt = 0;
  };

  void backslash(qsizetype pos, TMTextToken& t);
  void percent(qsizetype pos, TMTextToken& t) const;

  const QChar* FText;
  qsizetype FLen;
  TNextStop FSemi, FHeightStop;
};

// Numbers in codes: "." or "," as the decimal separator whatever the locale,
// blanks around allowed, read with the C rules.  False for anything else.
bool MTextNumber(QStringView s, double& value);

// A word of plain text as the drawn text reads it: codes that only change the
// formatting do not split it (сл\Lово is "слово").  start and length cover the
// word in the source, codes inside included.
struct TMTextWord {
  qsizetype start = 0;
  qsizetype length = 0;
  QString text;
  bool hasDigit = false;  // H7, M10x1: engineering tokens, not words to check
};
// Letters, digits, combining marks and "_" make words, as in the editor.
QVector<TMTextWord> MTextWords(QStringView line);
