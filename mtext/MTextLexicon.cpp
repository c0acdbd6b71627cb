// MText codes, as the preview draws them, the editor colours them and the
// spell checker skips them.  Letters are case-sensitive.
//
// code      argument                    ends at            meaning                               example
// \L \l     -                           -                  underline on / off                    \Lподчёркнуто\l
// \O \o     -                           -                  overline on / off                     \Oнадчёркнуто\o
// \K \k     -                           -                  strike-through on / off               \Kзачёркнуто\k
// \P        -                           -                  new paragraph                         строка\Pстрока
// \N        -                           -                  column break: a new line              левая\Nправая
// \X        -                           -                  text below a dimension line: new line 25\Xмакс.
// \~        -                           -                  non-breaking space                    Формат\~А4
// \\ \{ \}  -                           -                  the backslash or brace itself         \{скобки\}
// \f        face|b1|i0|c204|p34         ; or end of text   TrueType font, bold, italic           \fArial|b1;
// \F        file.shx[,bigfont][|...]    ; or end of text   SHX font file, drawn in a substitute  \Fsimplex.shx,gbcbig.shx;
// \H        number, x for relative      x, x; ; or end     text height (mm) or factor            \H2.5;  \H0.7x;
// \W        number                      ;                  width factor 0.1..10                  \W0.8;
// \T        number                      ;                  tracking 0.75..4                      \T1.2;
// \Q        number                      ;                  obliquing -85..85 (drawn italic)      \Q15;
// \C        number                      ;                  AutoCAD Color Index                   \C1;
// \c        number                      ;                  true colour, red in the low byte      \c255;
// \A        number                      ;                  vertical alignment 0 bottom 1 mid 2 top  \A1;
// \p        i l r q t options, commas   ; or end of text   paragraph indents, alignment, tabs    \pxi-3,l4,qc,t8;
// \S        upper ^ / or # lower        ; or end of text   stacked text: tolerance, fraction     \S1/2;  \S+0.1^ -0.2;
// \U        +XXXX                       four hex digits    the character of that UTF-16 code     \U+2205
// %%c %%d %%p                                              diameter, degree, plus-minus          %%c25
// %%nnn     three decimal digits                           the character of that decimal code    %%176
// { }                                                      group: formatting restored at }       {\C1;красный}
//
// A number code whose argument is no number (\C red;) is the letter alone:
// the argument is drawn as text.  A backslash before any other character, and
// a %% before anything else, are drawn as they are.
#include "mtext/MTextLexicon.h"

#include <QVarLengthArray>
#include <cmath>

#include "core/Numbers.h"

namespace {

constexpr TMTextCodeInfo kCodes[] = {
    {'L', afNone, efFormat, "", "underline on", "\\Lподчёркнуто\\l"},
    {'l', afNone, efFormat, "", "underline off", "\\Lподчёркнуто\\l"},
    {'O', afNone, efFormat, "", "overline on", "\\Oнадчёркнуто\\o"},
    {'o', afNone, efFormat, "", "overline off", "\\Oнадчёркнуто\\o"},
    {'K', afNone, efFormat, "", "strike-through on", "\\Kзачёркнуто\\k"},
    {'k', afNone, efFormat, "", "strike-through off", "\\Kзачёркнуто\\k"},
    {'P', afNone, efLineBreak, "", "new paragraph", "строка\\Pстрока"},
    {'N', afNone, efLineBreak, "", "column break: a new line", "левая\\Nправая"},
    {'X', afNone, efLineBreak, "", "text below a dimension line: a new line", "25\\Xмакс."},
    {'~', afNone, efSpace, "", "non-breaking space", "Формат\\~А4"},
    {'\\', afNone, efCharacter, "", "a backslash", "C:\\\\dwg"},
    {'{', afNone, efCharacter, "", "an opening brace", "\\{скобки\\}"},
    {'}', afNone, efCharacter, "", "a closing brace", "\\{скобки\\}"},
    {'f', afText, efFormat, ";", "TrueType font", "\\fArial|b1;"},
    {'F', afText, efFormat, ";", "SHX font file, drawn in a substitute", "\\Fsimplex.shx,gbcbig.shx;"},
    {'H', afHeight, efFormat, "x ;", "text height or factor", "\\H2.5;"},
    {'W', afNumber, efFormat, ";", "width factor", "\\W0.8;"},
    {'T', afNumber, efFormat, ";", "tracking", "\\T1.2;"},
    {'Q', afNumber, efFormat, ";", "obliquing, drawn italic", "\\Q15;"},
    {'C', afNumber, efFormat, ";", "AutoCAD Color Index", "\\C1;"},
    {'c', afNumber, efFormat, ";", "true colour, red in the low byte", "\\c255;"},
    {'A', afNumber, efFormat, ";", "vertical alignment", "\\A1;"},
    {'p', afText, efFormat, ";", "paragraph indents, alignment and tab stops", "\\pxqc;"},
    {'S', afText, efStack, ";", "stacked text", "\\S1/2;"},
    {'U', afUnicode, efCharacter, "", "character by UTF-16 code", "\\U+2205"},
};

// Code letters are ASCII: one slot per character below 128, filled at compile
// time so that a look-up costs one load.
struct TCodeIndex {
  const TMTextCodeInfo* slot[128] = {};
  constexpr TCodeIndex() {
    for (const TMTextCodeInfo& c : kCodes) slot[static_cast<unsigned char>(c.letter)] = &c;
  }
};

constexpr TCodeIndex kIndex{};

bool isHex(QChar c) {
  const char16_t u = c.unicode();
  return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

int hexValue(QChar c) {
  const char16_t u = c.unicode();
  if (u <= '9') return u - '0';
  if (u >= 'a') return u - 'a' + 10;
  return u - 'A' + 10;
}

bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

QStringView trimBlanks(QStringView s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s[b].unicode() <= 32) ++b;
  while (e > b && s[e - 1].unicode() <= 32) --e;
  return s.mid(b, e - b);
}

}  // namespace

const TMTextCodeInfo* MTextCodeTable(int* count) {
  if (count) *count = int(sizeof(kCodes) / sizeof(kCodes[0]));
  return kCodes;
}

const TMTextCodeInfo* MTextCodeInfo(QChar letter) {
  return letter.unicode() < 128 ? kIndex.slot[letter.unicode()] : nullptr;
}

// Read in place: a code without its ";" sees the whole rest of the text as its
// parameter, and copying that for every such code made the scan quadratic.
// Only the characters a finite number can have are looked at; whatever
// follows them must be blank up to the end, so the first other character
// decides.
bool MTextNumber(QStringView s, double& value) {
  qsizetype b = 0;
  const qsizetype n = s.size();
  while (b < n && s[b].isSpace()) ++b;
  qsizetype e = b;
  while (e < n) {
    const char16_t c = s[e].unicode();
    if ((c >= u'0' && c <= u'9') || c == u'.' || c == u',' || c == u'+' || c == u'-' || c == u'e' || c == u'E')
      ++e;
    else
      break;
  }
  if (e == b) return false;
  for (qsizetype i = e; i < n; ++i)
    if (!s[i].isSpace()) return false;
  return ReadDecimal(s.mid(b, e - b), value);
}

void TMTextLexer::percent(qsizetype pos, TMTextToken& t) const {
  const QChar* s = FText;
  if (pos + 2 < FLen && s[pos + 1] == u'%') {
    const char16_t l = s[pos + 2].toLower().unicode();
    if (l == u'c' || l == u'd' || l == u'p') {
      t.kind = lkSymbol;
      t.code = l;
      t.length = 3;
    } else if (pos + 4 < FLen && isDigit(s[pos + 2]) && isDigit(s[pos + 3]) && isDigit(s[pos + 4])) {
      t.kind = lkSymbol;
      t.code = 0;
      t.ch = char16_t((s[pos + 2].unicode() - '0') * 100 + (s[pos + 3].unicode() - '0') * 10 +
                      (s[pos + 4].unicode() - '0'));
      t.length = 5;
    }
  }
}

void TMTextLexer::backslash(qsizetype pos, TMTextToken& t) {
  // A backslash that starts no code is drawn; the next character is then read
  // as text of its own.
  if (pos + 1 >= FLen) return;
  const QChar n = FText[pos + 1];
  const TMTextCodeInfo* info = MTextCodeInfo(n);
  if (!info) return;
  const QChar* s = FText;
  switch (info->arg) {
    case afNone:
      if (info->effect == efCharacter) {
        t.kind = lkEscape;
        t.ch = n.unicode();
      } else {
        t.kind = lkCode;
      }
      t.length = 2;
      break;
    case afText: {
      const qsizetype stop = FSemi.find(s, FLen, pos + 1, [](QChar ch) { return ch == u';'; });
      t.kind = lkCode;
      t.argStart = pos + 2;
      t.argLength = stop - t.argStart;
      t.length = qMin(stop + 1, FLen) - pos;
      break;
    }
    case afNumber: {
      const qsizetype stop = FSemi.find(s, FLen, pos + 1, [](QChar ch) { return ch == u';'; });
      t.kind = lkCode;
      t.argStart = pos + 2;
      t.argLength = stop - t.argStart;
      t.valueOk = MTextNumber(QStringView(s + t.argStart, t.argLength), t.value);
      if (t.valueOk) {
        t.length = qMin(stop + 1, FLen) - pos;
      } else {
        t.value = 0;
        t.argLength = 0;
        t.length = 2;
      }
      break;
    }
    case afHeight: {
      const qsizetype j = FHeightStop.find(s, FLen, pos + 1, [](QChar ch) { return ch == u'x' || ch == u';'; });
      t.kind = lkCode;
      t.argStart = pos + 2;
      t.argLength = j - t.argStart;
      qsizetype next;
      if (j >= FLen) {
        next = FLen;
      } else if (s[j] == u'x') {
        t.relative = true;
        next = (j + 1 < FLen && s[j + 1] == u';') ? j + 2 : j + 1;
      } else {
        next = j + 1;
      }
      // The letter is trimmed with the number: "\H 2x" reads 2.
      const QStringView collected = trimBlanks(QStringView(s + pos + 1, j - pos - 1)).mid(1);
      t.valueOk = MTextNumber(collected, t.value);
      if (!t.valueOk) t.value = 0;
      t.length = next - pos;
      break;
    }
    case afUnicode:
      if (pos + 6 < FLen && s[pos + 2] == u'+' && isHex(s[pos + 3]) && isHex(s[pos + 4]) && isHex(s[pos + 5]) &&
          isHex(s[pos + 6])) {
        int code = 0;
        for (int i = 3; i <= 6; ++i) code = code * 16 + hexValue(s[pos + i]);
        t.kind = lkCode;
        t.ch = char16_t(code);
        t.argStart = pos + 2;
        t.argLength = 5;
        t.length = 7;
      } else {
        return;
      }
      break;
  }
  t.code = n.unicode();
  t.info = info;
}

// ---------------------------------------------------------------- words

namespace {

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c.isMark() || c == u'_'; }

}  // namespace

QVector<TMTextWord> MTextWords(QStringView line) {
  QVector<TMTextWord> words;
  TMTextLexer lexer(line);
  TMTextWord word;
  bool inWord = false;
  auto close = [&] {
    if (inWord) words.append(word);
    inWord = false;
  };
  auto add = [&](QChar ch, qsizetype start, qsizetype end) {
    if (!inWord) {
      word = TMTextWord();
      word.start = start;
      inWord = true;
    }
    word.text += ch;
    word.length = end - word.start;
    if (ch.isDigit()) word.hasDigit = true;
  };
  qsizetype pos = 0;
  while (pos < line.size()) {
    const TMTextToken t = lexer.scan(pos);
    switch (t.kind) {
      case lkChar:
        if (isWordChar(QChar(t.ch)))
          add(QChar(t.ch), t.start, t.end());
        else
          close();
        break;
      case lkCode:
        if (t.info->effect == efFormat) break;  // сл\Lово reads "слово"
        if (t.code == u'U' && isWordChar(QChar(t.ch)))
          add(QChar(t.ch), t.start, t.end());
        else
          close();
        break;
      case lkGroupOpen:
      case lkGroupClose:
        break;
      case lkEscape:
      case lkSymbol:
        close();
        break;
    }
    pos = t.end();
  }
  close();
  return words;
}
