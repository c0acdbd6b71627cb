// The highlighter's tokenizer on any text, one editor line at a time, and the
// highlighter painting a whole document with it.
#include <QString>
#include <QStringList>
#include <QTextDocument>

#include "fuzz/FuzzCommon.h"
#include "highlight/SynHighlighterMText.h"
#include "mtext/MTextLexicon.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  static TSynMText* tokenizer = new TSynMText;

  // Each line as the editor hands it over (a line may still hold a lone CR).
  int lineNumber = 0;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    const QVector<TSynMTextToken> tokens = TSynMText::tokenize(line);
    // The tokens cover the line without gaps or overlaps; only an embedded
    // code 0 is a tkNull token.
    int end = 0;
    for (const TSynMTextToken& t : tokens) {
      FUZZ_CHECK(t.pos == end && t.length > 0);
      FUZZ_CHECK((t.kind == tkNull) == (line.at(t.pos) == QChar(0)));
      end = t.pos + t.length;
    }
    FUZZ_CHECK(end == line.size());

    // The editor's way gives the same tokens.
    tokenizer->setLine(line, lineNumber++);
    int i = 0;
    while (!tokenizer->getEol()) {
      FUZZ_CHECK(i < tokens.size());
      FUZZ_CHECK(tokenizer->getTokenPos() == tokens[i].pos && tokenizer->getTokenLen() == tokens[i].length &&
                 tokenizer->getTokenID() == tokens[i].kind);
      FUZZ_CHECK(tokenizer->getToken() == line.mid(tokens[i].pos, tokens[i].length));
      tokenizer->next();
      ++i;
    }
    FUZZ_CHECK(i == tokens.size());

    for (const TSynMTextToken& t : tokens)
      FUZZ_CHECK(tokenizer->attributeAt(line, t.pos) == tokenizer->attributeOf(t.kind));

    // The colours of a code end where the renderer's lexicon ends it: every
    // code, escape and symbol is coloured over exactly its extent, and
    // nothing else is coloured as a key.
    TMTextLexer lexer(line);
    int k = 0;
    for (qsizetype pos = 0; pos < line.size();) {
      const TMTextToken c = lexer.scan(pos);
      const bool code = c.kind == lkCode || c.kind == lkEscape || c.kind == lkSymbol;
      FUZZ_CHECK(k < tokens.size() && tokens[k].pos == c.start);
      while (k < tokens.size() && tokens[k].pos < c.end()) {
        const TtkTokenKind kind = tokens[k].kind;
        if (code) FUZZ_CHECK(kind == tkKey || kind == tkNumber || kind == tkSymbols || kind == tkNull);
        else FUZZ_CHECK(kind != tkKey && kind != tkSymbols);
        ++k;
      }
      // Plain text is read a character at a time by the lexer; the
      // highlighter's tokens there may be longer (a word, a number).
      if (k >= tokens.size()) {
        FUZZ_CHECK(!code || c.end() == line.size());
        break;
      }
      pos = code ? c.end() : qsizetype(tokens[k].pos);
    }
    FUZZ_CHECK(tokenizer->attributeAt(line, int(line.size())) == nullptr);
  }

  QTextDocument document;
  TSynMTextHighlighter highlighter(tokenizer, &document);
  document.setPlainText(text);
  return 0;
}
