#pragma once
// The document file: a plain text file, one editor line per text line.
// Reading finds the encoding (byte-order mark, else UTF-8 when the bytes are
// valid UTF-8, else Windows-1251) and the line-break style; writing puts them
// back, so an unedited text round-trips byte for byte.
#include <QString>
#include <QStringList>

struct TTextFormat {
  enum Encoding { Utf8, Utf16LE, Utf16BE, Ansi };
  // A text that did not come from a file is written as Windows-1251 with CR LF.
  Encoding encoding = Ansi;
  bool bom = false;
  QString lineBreak = QStringLiteral("\r\n");
};

// Splits decoded text into lines at CR LF, LF, CR and U+2028; the first break
// found becomes the style (CR LF when there is none).  A text ending in a break
// has no empty last line.
QStringList SplitTextLines(const QString& text, QString* lineBreak = nullptr);

// Windows-1251 codec.  Characters the code page cannot hold are written as the
// MText code \U+XXXX (a character outside the BMP as the codes of its two
// surrogates), so nothing is lost.
QString DecodeWindows1251(const QByteArray& bytes);
QByteArray EncodeWindows1251(const QString& text);

// Decodes file bytes and tells what was found.
QStringList DecodeTextLines(const QByteArray& bytes, TTextFormat& format);
// The same in one text, its breaks left in: the lines of DecodeTextLines are
// this text split by SplitTextLines.  For readers that need no lines.
QString DecodeText(const QByteArray& bytes, TTextFormat& format);
// Encodes lines as they are written: every line followed by the break.
QByteArray EncodeTextLines(const QStringList& lines, const TTextFormat& format);

// Documents above this size are refused before reading.
constexpr qint64 MaxTextFileBytes = 50LL * 1024 * 1024;

// Reads a file while other writers are kept out (advisory lock).  On failure
// returns false, leaves lines and format alone and puts a Russian reason in error.
bool ReadTextFile(const QString& path, QStringList& lines, TTextFormat& format, QString& error);
// The same into one text (DecodeText).
bool ReadTextFile(const QString& path, QString& text, TTextFormat& format, QString& error);
// Writes through a temporary file beside the target that replaces it only when
// the whole write succeeded; the file's permissions are kept.
bool WriteTextFile(const QString& path, const QStringList& lines, const TTextFormat& format, QString& error);
