#pragma once
// How a DXF file spells the text of a string group: its code page, the caret
// escapes, and the chunks an MTEXT's text is cut into.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// The byte encoding of a drawing's strings.  AC1021 (R2007) and later are
// UTF-8; older drawings use the code page named by $DWGCODEPAGE, and a
// character the code page cannot hold is written as the MText code \U+XXXX
// (outside the BMP: the codes of its two surrogates), as AutoCAD does.
class TDxfCodec {
 public:
  // codePage: the value of $DWGCODEPAGE ("ANSI_1251", …); empty means
  // ANSI_1252, AutoCAD's default.  An unknown code page gives an invalid codec.
  static TDxfCodec forDrawing(bool utf8, const QString& codePage);
  bool isValid() const { return FUtf8 || FTable || FName.size(); }
  bool isUtf8() const { return FUtf8; }
  bool isSingleByte() const { return bool(FTable); }
  QString decode(const char* data, qsizetype size) const;
  QString decode(const QByteArray& bytes) const { return decode(bytes.constData(), bytes.size()); }
  // Characters outside the code page become \U+XXXX first (escapeForCodePage),
  // so this never loses one.
  QByteArray encode(const QString& text) const;
  QString escapeForCodePage(const QString& text) const;

 private:
  bool FUtf8 = false;
  QByteArray FName;                        // ICU name of a multi-byte code page
  std::shared_ptr<const char16_t[]> FTable;  // single-byte code page: byte -> UTF-16
  bool encodable(char32_t c) const;
};

// ^J ^I ^M and the other control characters are written as a caret and the
// character 64 places up; "^ " is a caret.  A caret before anything else is
// kept as it stands.
QString CaretDecode(const QString& s);
QString CaretEncode(const QString& s);

// Cuts an encoded text value into the chunks of an MTEXT: at most 250
// characters each (UTF-16 units), never inside \U+XXXX, a caret escape or a
// surrogate pair.  Every chunk but the last goes into a group 3, the last into
// group 1; an empty text is one empty chunk.
QStringList SplitMTextChunks(const QString& s, int size = 250);

// The editor shows one paragraph per line: the text is split at \P (a \\ is an
// escaped backslash, not the start of a code) and joined back the same way.
QStringList MTextToLines(const QString& mtext);
QString LinesToMText(const QStringList& lines);

// The text as AutoCAD shows it without formatting, read with the MText
// lexicon: codes and braces removed, \P a line break, \U+XXXX and %%c %%d
// %%p the characters they stand for, a stack as "upper/lower".
QString DxfPlainText(const QString& mtext);
