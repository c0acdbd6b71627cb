#pragma once
// MText syntax highlighting: a tokenizer that splits one editor line into
// format codes, numbers, the %% symbols and plain text, and a QSyntaxHighlighter
// that paints a QTextDocument with the tokens' attributes.
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSyntaxHighlighter>
#include <QVector>
#include <functional>
#include <memory>

#include "core/Colors.h"
#include "mtext/MTextLexicon.h"

class QTextBlock;
class QTextDocument;

// Display attribute of one token kind.  An invalid QColor means "none": the
// editor's own colour is kept.
class THighlighterAttribute {
 public:
  THighlighterAttribute(const QString& name, const QString& displayName);
  THighlighterAttribute(const THighlighterAttribute&) = delete;
  THighlighterAttribute& operator=(const THighlighterAttribute&) = delete;

  QString name() const { return FName; }
  QString displayName() const { return FDisplayName; }

  QColor foreground() const { return FForeground; }
  void setForeground(const QColor& c);
  QColor background() const { return FBackground; }
  void setBackground(const QColor& c);
  TFontStyles style() const { return FStyle; }
  void setStyle(TFontStyles s);

  // Colours and style of another attribute; the names stay.
  void assign(const THighlighterAttribute& other);

  // Called after every change that actually alters the attribute.
  void setOnChange(std::function<void()> f) { FOnChange = std::move(f); }

 private:
  void changed();

  QString FName;
  QString FDisplayName;
  QColor FForeground;
  QColor FBackground;
  TFontStyles FStyle = 0;
  std::function<void()> FOnChange;
};

enum TtkTokenKind { tkIdentifier, tkKey, tkNull, tkNumber, tkSpace, tkUnknown, tkSymbols };

// The indexes a highlighter answers with its default attributes.
enum TSynDefaultAttribute { daComment, daIdentifier, daKeyword, daString, daWhitespace, daSymbol };

// One scanned token: start (0-based) and length in UTF-16 units.
struct TSynMTextToken {
  int pos = 0;
  int length = 0;
  TtkTokenKind kind = tkNull;
};

// Splits one line into tokens, left to right, each scan starting where the
// previous one ended.  Codes are the lexicon's, so a code is coloured exactly
// as far as the preview reads it: its backslash and letter are a key, then
// its argument and terminator follow as keys, with the numbers in them as
// numbers (\H2.5; is "\H", "2.5", ";"); a font name or a \U character is
// one key.  Outside codes: spaces, numbers, identifiers and single characters.
class TSynMTextScanner {
 public:
  explicit TSynMTextScanner(const QString& line);
  // The end of the token starting at run, and its kind; past the end of the
  // line, the terminating tkNull.
  int scan(int run, TtkTokenKind& kind);

 private:
  ushort charAt(int i) const;  // 0 past the end
  int scanArgument(int run, TtkTokenKind& kind);
  int scanCode(int run, TtkTokenKind& kind);
  int scanPlain(int run, TtkTokenKind& kind);

  const QString FLine;
  TMTextLexer FLexer;
  int FCodeEnd = 0;  // the end of the code whose argument is being scanned
  bool FWholeCode = false;  // that argument is one key, numbers and all
};

class TSynMText : public QObject {
  Q_OBJECT
 public:
  explicit TSynMText(QObject* parent = nullptr);

  // Line-at-a-time scanning, the way an editor drives a highlighter:
  //   h.setLine(s, n); while (!h.getEol()) { ...getToken()...; h.next(); }
  // setLine scans the first token already.
  void setLine(const QString& line, int lineNumber);
  void next();
  bool getEol() const;
  QString getToken() const;
  int getTokenPos() const { return FTokenPos; }
  int getTokenLen() const { return FRun - FTokenPos; }
  int getTokenKind() const { return FTokenID; }
  TtkTokenKind getTokenID() const { return FTokenID; }
  // nullptr for tkNull.
  THighlighterAttribute* getTokenAttribute() const { return attributeOf(FTokenID); }
  int lineNumber() const { return FLineNumber; }
  int runPosition() const { return FRun; }

  // Identifier, keyword and whitespace have attributes; the other indexes none.
  THighlighterAttribute* getDefaultAttribute(int index) const;

  THighlighterAttribute* identifierAttri() const { return FIdentifierAttri; }
  THighlighterAttribute* keyAttri() const { return FKeyAttri; }
  THighlighterAttribute* numberAttri() const { return FNumberAttri; }
  THighlighterAttribute* spaceAttri() const { return FSpaceAttri; }
  THighlighterAttribute* symbolsAttri() const { return FSymbolsAttri; }
  // In registration order: Identifier, Key, Number, Space, Variable.
  QVector<THighlighterAttribute*> attributes() const;
  // By internal name, letter case ignored; nullptr when there is none.
  THighlighterAttribute* findAttribute(const QString& name) const;
  THighlighterAttribute* attributeOf(TtkTokenKind kind) const;

  // Copies the colours and styles of every attribute (a second highlighter for
  // a printed copy of the document looks like the editor's).
  void copyAttributesFrom(const TSynMText& other);

  // Groups attribute changes into one attributesChanged() at the outermost end.
  void beginUpdate();
  void endUpdate();

  // Scanning without touching the line state above.  tokenize() leaves out
  // the terminating tkNull token; the tokens cover the line without gaps.
  static QVector<TSynMTextToken> tokenize(const QString& line);
  // The attribute of the token covering position pos (0-based); nullptr past
  // the end of the line or on an embedded code 0.
  THighlighterAttribute* attributeAt(const QString& line, int pos) const;

  static bool isIdentChar(QChar c);

 signals:
  void attributesChanged();

 private:
  void attributeChanged();

  QString FLine;
  std::unique_ptr<TSynMTextScanner> FScanner;
  int FLineNumber = 0;
  int FRun = 0;
  int FTokenPos = 0;
  TtkTokenKind FTokenID = tkNull;
  int FUpdateCount = 0;
  bool FChangedWhileUpdating = false;

  // The attributes themselves; the F...Attri pointers below refer to them.
  THighlighterAttribute FIdentifier{QStringLiteral("Identifier"), QStringLiteral("Identifier")};
  THighlighterAttribute FKey{QStringLiteral("Key"), QStringLiteral("Key")};
  THighlighterAttribute FNumber{QStringLiteral("Number"), QStringLiteral("Number")};
  THighlighterAttribute FSpace{QStringLiteral("Space"), QStringLiteral("Space")};
  THighlighterAttribute FSymbols{QStringLiteral("Variable"), QStringLiteral("Variable")};

  THighlighterAttribute* const FIdentifierAttri = &FIdentifier;
  THighlighterAttribute* const FKeyAttri = &FKey;
  THighlighterAttribute* const FNumberAttri = &FNumber;
  THighlighterAttribute* const FSpaceAttri = &FSpace;
  THighlighterAttribute* const FSymbolsAttri = &FSymbols;
};

// Paints a QTextDocument with a TSynMText's attributes and repaints when one of
// them changes.  The tokenizer is referenced; takeTokenizer() makes the
// highlighter its owner.
//
// By default every block is highlighted as soon as the document is attached or
// changed.  On demand, only the blocks last shown (highlightShown) are: a
// large document loads without tokenizing lines nobody sees, and the view
// calls highlightShown before it paints.  Since a line is tokenized on its own,
// a block highlighted late gets exactly the formats it would have got at load.
class TSynMTextHighlighter : public QSyntaxHighlighter {
  Q_OBJECT
 public:
  TSynMTextHighlighter(TSynMText* tokenizer, QObject* parent);
  TSynMTextHighlighter(TSynMText* tokenizer, QTextDocument* document);
  ~TSynMTextHighlighter() override;

  TSynMText* tokenizer() const { return FTokenizer; }
  void takeTokenizer();

  // Hides QSyntaxHighlighter::setDocument: detaching clears the formats of
  // the blocks, so what they were highlighted with no longer holds.
  void setDocument(QTextDocument* document);

  void setOnDemand(bool on);
  bool onDemand() const { return FOnDemand; }
  // The blocks first..last are about to be shown: highlights those of them
  // not highlighted with the current attributes, and keeps highlighting
  // edits among them as they happen.  Blocks of another document are ignored.
  void highlightShown(const QTextBlock& first, const QTextBlock& last);
  // On demand: true when the block carries the formats of the current
  // attributes.  Otherwise true for every block of the document.
  bool isHighlighted(const QTextBlock& block) const;

 protected:
  void highlightBlock(const QString& text) override;

 private:
  void connectTokenizer();
  void invalidate() { ++FGeneration; }

  QPointer<TSynMText> FTokenizer;
  bool FOwnsTokenizer = false;
  bool FOnDemand = false;
  // Stamped on each highlighted block; a stamp that differs is out of date.
  int FGeneration = 1;
  // Block numbers of the blocks last shown.
  int FShownFirst = 0;
  int FShownLast = -1;
};
