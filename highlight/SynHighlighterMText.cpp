#include "highlight/SynHighlighterMText.h"

#include <QFont>
#include <QTextCharFormat>
#include <QTextBlock>
#include <QTextDocument>

// ---------------------------------------------------------------------------
// THighlighterAttribute

THighlighterAttribute::THighlighterAttribute(const QString& name, const QString& displayName)
    : FName(name), FDisplayName(displayName) {}

void THighlighterAttribute::changed() {
  if (FOnChange) FOnChange();
}

void THighlighterAttribute::setForeground(const QColor& c) {
  // Two invalid colours compare equal, so "none" to "none" is no change.
  if (c == FForeground) return;
  FForeground = c;
  changed();
}

void THighlighterAttribute::setBackground(const QColor& c) {
  if (c == FBackground) return;
  FBackground = c;
  changed();
}

void THighlighterAttribute::setStyle(TFontStyles s) {
  if (s == FStyle) return;
  FStyle = s;
  changed();
}

void THighlighterAttribute::assign(const THighlighterAttribute& other) {
  if (FForeground == other.FForeground && FBackground == other.FBackground && FStyle == other.FStyle) return;
  FForeground = other.FForeground;
  FBackground = other.FBackground;
  FStyle = other.FStyle;
  changed();
}

// ---------------------------------------------------------------------------
// TSynMText

TSynMText::TSynMText(QObject* parent) : QObject(parent) {
  FKeyAttri->setForeground(QColor(0, 0, 255));
  FKeyAttri->setStyle(fsBold);
  FNumberAttri->setForeground(QColor(255, 0, 0));
  FSymbolsAttri->setForeground(QColor(0, 128, 0));
  // Hooked up only now, so that setting the defaults notifies nobody.
  for (THighlighterAttribute* a : attributes()) a->setOnChange([this] { attributeChanged(); });
}

QVector<THighlighterAttribute*> TSynMText::attributes() const {
  return {FIdentifierAttri, FKeyAttri, FNumberAttri, FSpaceAttri, FSymbolsAttri};
}

THighlighterAttribute* TSynMText::findAttribute(const QString& name) const {
  for (THighlighterAttribute* a : attributes())
    if (a->name().compare(name, Qt::CaseInsensitive) == 0) return a;
  return nullptr;
}

THighlighterAttribute* TSynMText::attributeOf(TtkTokenKind kind) const {
  switch (kind) {
    case tkIdentifier:
    case tkUnknown:
      return FIdentifierAttri;
    case tkKey:
      return FKeyAttri;
    case tkNumber:
      return FNumberAttri;
    case tkSpace:
      return FSpaceAttri;
    case tkSymbols:
      return FSymbolsAttri;
    case tkNull:
      break;
  }
  return nullptr;
}

THighlighterAttribute* TSynMText::getDefaultAttribute(int index) const {
  switch (index) {
    case daIdentifier:
      return FIdentifierAttri;
    case daKeyword:
      return FKeyAttri;
    case daWhitespace:
      return FSpaceAttri;
    default:
      return nullptr;
  }
}

void TSynMText::copyAttributesFrom(const TSynMText& other) {
  if (&other == this) return;
  beginUpdate();
  const QVector<THighlighterAttribute*> mine = attributes();
  const QVector<THighlighterAttribute*> theirs = other.attributes();
  for (int i = 0; i < mine.size(); ++i) mine[i]->assign(*theirs[i]);
  endUpdate();
}

void TSynMText::beginUpdate() { ++FUpdateCount; }

void TSynMText::endUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && FChangedWhileUpdating) {
    FChangedWhileUpdating = false;
    emit attributesChanged();
  }
}

void TSynMText::attributeChanged() {
  if (FUpdateCount > 0) {
    FChangedWhileUpdating = true;
    return;
  }
  emit attributesChanged();
}

bool TSynMText::isIdentChar(QChar c) {
  const ushort u = c.unicode();
  if (u <= 47) return false;
  if (u >= 58 && u <= 64) return false;
  if (u >= 91 && u <= 94) return false;
  if (u == 96) return false;
  if (u >= 123 && u <= 126) return false;
  return u != 167 && u != 176 && u != 180;
}

namespace {

bool isDigit(ushort c) { return c >= '0' && c <= '9'; }

}  // namespace

TSynMTextScanner::TSynMTextScanner(const QString& line) : FLine(line), FLexer(FLine) {}

ushort TSynMTextScanner::charAt(int i) const { return i < FLine.size() ? FLine.at(i).unicode() : 0; }

// Inside a code's argument: numbers, and keys up to the next digit (a font
// name is one key).  An embedded code 0 stays a null token.
int TSynMTextScanner::scanArgument(int run, TtkTokenKind& kind) {
  const bool number = !FWholeCode && isDigit(charAt(run));
  kind = number ? tkNumber : tkKey;
  ++run;
  while (run < FCodeEnd) {
    const ushort d = charAt(run);
    if (d == 0 || (number ? !(isDigit(d) || d == '.') : !FWholeCode && isDigit(d))) break;
    ++run;
  }
  return run;
}

// A backslash or a percent sign: what the MText lexer reads there.
int TSynMTextScanner::scanCode(int run, TtkTokenKind& kind) {
  const TMTextToken t = FLexer.scan(run);
  switch (t.kind) {
    case lkCode:
      kind = tkKey;
      if (t.length <= 2) return int(t.end());
      // A font name or a character code is one key; other arguments
      // follow as their own tokens.
      FCodeEnd = int(t.end());
      FWholeCode = t.code == u'f' || t.code == u'F' || t.code == u'U';
      if (!FWholeCode) return run + 2;
      run += 2;
      while (run < FCodeEnd && charAt(run) != 0) ++run;
      return run;
    case lkEscape:
      kind = tkKey;
      return int(t.end());
    case lkSymbol:
      kind = tkSymbols;
      return int(t.end());
    default:
      kind = tkUnknown;
      return run + 1;
  }
}

// Blanks, numbers, words and anything else, outside codes.
int TSynMTextScanner::scanPlain(int run, TtkTokenKind& kind) {
  const int len = int(FLine.size());
  const ushort c = charAt(run);
  if (c <= 32) {
    kind = tkSpace;
    ++run;
    while (run < len) {
      const ushort d = charAt(run);
      if (d > 32 || d == 10 || d == 13) break;
      ++run;
    }
    return run;
  }
  if (isDigit(c)) {
    kind = tkNumber;
    ++run;
    while (run < len) {
      const ushort d = charAt(run);
      if (!(isDigit(d) || d == '.')) break;
      ++run;
    }
    return run;
  }
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
    kind = tkIdentifier;
    ++run;
    while (run < len && TSynMText::isIdentChar(FLine.at(run))) ++run;
    return run;
  }
  kind = tkUnknown;
  return run + 1;
}

// The line behaves as if followed by a character of code 0: a run position at
// the line length scans the terminating tkNull token.
int TSynMTextScanner::scan(int run, TtkTokenKind& kind) {
  if (run < 0) run = 0;
  const ushort c = charAt(run);
  if (run < FCodeEnd && c != 0) return scanArgument(run, kind);
  switch (c) {
    case 0:
      kind = tkNull;
      return run + 1;
    case 10:
      kind = tkSpace;
      return run + 1;
    case 13:
      kind = tkSpace;
      return charAt(run + 1) == 10 ? run + 2 : run + 1;
    case '\\':
    case '%':
      return scanCode(run, kind);
    default:
      return scanPlain(run, kind);
  }
}

void TSynMText::setLine(const QString& line, int lineNumber) {
  FLine = line;
  FScanner = std::make_unique<TSynMTextScanner>(FLine);
  FLineNumber = lineNumber;
  FRun = 0;
  FTokenPos = 0;
  next();
}

void TSynMText::next() {
  FTokenPos = FRun;
  if (!FScanner) FScanner = std::make_unique<TSynMTextScanner>(FLine);
  FRun = FScanner->scan(FRun, FTokenID);
}

bool TSynMText::getEol() const { return FRun > FLine.size(); }

QString TSynMText::getToken() const { return FLine.mid(FTokenPos, FRun - FTokenPos); }

QVector<TSynMTextToken> TSynMText::tokenize(const QString& line) {
  QVector<TSynMTextToken> tokens;
  const int len = int(line.size());
  TSynMTextScanner scanner(line);
  int run = 0;
  while (run < len) {
    TSynMTextToken t;
    t.pos = run;
    run = scanner.scan(run, t.kind);
    t.length = run - t.pos;
    tokens.append(t);
  }
  return tokens;
}

THighlighterAttribute* TSynMText::attributeAt(const QString& line, int pos) const {
  if (pos < 0 || pos >= line.size()) return nullptr;
  TSynMTextScanner scanner(line);
  int run = 0;
  while (run < line.size()) {
    TtkTokenKind kind = tkNull;
    const int end = scanner.scan(run, kind);
    if (pos < end) return attributeOf(kind);
    run = end;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// TSynMTextHighlighter

namespace {

// The attributes a block on demand was highlighted with.
class TBlockStamp : public QTextBlockUserData {
 public:
  int generation = 0;
};

}  // namespace

TSynMTextHighlighter::TSynMTextHighlighter(TSynMText* tokenizer, QObject* parent)
    : QSyntaxHighlighter(parent), FTokenizer(tokenizer) {
  connectTokenizer();
}

TSynMTextHighlighter::TSynMTextHighlighter(TSynMText* tokenizer, QTextDocument* document)
    : QSyntaxHighlighter(document), FTokenizer(tokenizer) {
  connectTokenizer();
  // Attached at construction, before the tokenizer could be reached: make sure
  // the document shows the current attributes.
  rehighlight();
}

TSynMTextHighlighter::~TSynMTextHighlighter() {
  if (FOwnsTokenizer) delete FTokenizer.data();
}

void TSynMTextHighlighter::takeTokenizer() { FOwnsTokenizer = true; }

void TSynMTextHighlighter::connectTokenizer() {
  // On demand, rehighlight() leaves every block that is not shown out of date.
  if (FTokenizer) connect(FTokenizer.data(), &TSynMText::attributesChanged, this, &QSyntaxHighlighter::rehighlight);
}

void TSynMTextHighlighter::setDocument(QTextDocument* document) {
  invalidate();
  QSyntaxHighlighter::setDocument(document);
}

void TSynMTextHighlighter::setOnDemand(bool on) {
  if (on == FOnDemand) return;
  FOnDemand = on;
  invalidate();
  if (!on && document()) rehighlight();
}

void TSynMTextHighlighter::highlightShown(const QTextBlock& first, const QTextBlock& last) {
  if (!FOnDemand || !document() || !first.isValid() || first.document() != document()) return;
  FShownFirst = first.blockNumber();
  FShownLast = (last.isValid() && last.document() == document()) ? qMax(FShownFirst, last.blockNumber()) : FShownFirst;
  QTextBlock b = first;
  for (int n = FShownFirst; n <= FShownLast && b.isValid(); ++n, b = b.next())
    // Only this block: its state never changes, so the base class does not
    // go on to the next one.
    if (!isHighlighted(b)) rehighlightBlock(b);
}

bool TSynMTextHighlighter::isHighlighted(const QTextBlock& block) const {
  if (!block.isValid() || !document() || block.document() != document()) return false;
  if (!FOnDemand) return true;
  const auto* stamp = static_cast<const TBlockStamp*>(block.userData());
  return stamp && stamp->generation == FGeneration;
}

void TSynMTextHighlighter::highlightBlock(const QString& text) {
  if (!FTokenizer) return;
  if (FOnDemand) {
    const int n = currentBlock().blockNumber();
    auto* stamp = static_cast<TBlockStamp*>(currentBlockUserData());
    if (n < FShownFirst || n > FShownLast) {
      // Not shown: left plain (the base class clears what it had) until it is.
      if (stamp) stamp->generation = 0;
      return;
    }
    if (!stamp) {
      stamp = new TBlockStamp;
      setCurrentBlockUserData(stamp);
    }
    stamp->generation = FGeneration;
  }
  const QVector<TSynMTextToken> tokens = TSynMText::tokenize(text);
  for (const TSynMTextToken& t : tokens) {
    const THighlighterAttribute* a = FTokenizer->attributeOf(t.kind);
    if (!a) continue;
    QTextCharFormat fmt;
    if (a->foreground().isValid()) fmt.setForeground(a->foreground());
    if (a->background().isValid()) fmt.setBackground(a->background());
    const TFontStyles s = a->style();
    fmt.setFontWeight((s & fsBold) ? QFont::Bold : QFont::Normal);
    fmt.setFontItalic((s & fsItalic) != 0);
    fmt.setFontUnderline((s & fsUnderline) != 0);
    fmt.setFontStrikeOut((s & fsStrikeOut) != 0);
    setFormat(t.pos, t.length, fmt);
  }
}
