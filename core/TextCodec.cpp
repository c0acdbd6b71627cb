#include "core/TextCodec.h"

#include "core/FileErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <sys/file.h>

namespace {

// Windows-1251 bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.  The byte 0x98
// is undefined in the code page; it maps to U+0098 so that it survives a round trip.
const char16_t cp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  //
};

int encode1251(char16_t u) {
  if (u < 0x80) return u;
  if (u >= 0x0410 && u <= 0x044F) return u - 0x0410 + 0xC0;
  for (int i = 0; i < 64; ++i)
    if (cp1251High[i] == u) return 0x80 + i;
  return -1;
}

void appendMTextCode(QByteArray& out, char16_t u) {
  out += "\\U+";
  out += QByteArray::number(u, 16).toUpper().rightJustified(4, '0');
}

// Past the run of ASCII bytes starting at p, eight bytes at a time.
const unsigned char* skipAscii(const unsigned char* p, const unsigned char* end) {
  for (quint64 word; end - p >= 8; p += 8) {
    std::memcpy(&word, p, 8);
    if (word & 0x8080808080808080ull) break;
  }
  while (p < end && *p < 0x80) ++p;
  return p;
}

bool hasNonAscii(QByteArrayView bytes) {
  const auto* end = reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size();
  return skipAscii(reinterpret_cast<const unsigned char*>(bytes.data()), end) != end;
}

QString decode1251(QByteArrayView bytes) {
  QString s(bytes.size(), Qt::Uninitialized);
  QChar* out = s.data();
  for (char ch : bytes) {
    const unsigned char b = static_cast<unsigned char>(ch);
    char16_t u = b;
    if (b >= 0xC0)
      u = char16_t(0x0410 + (b - 0xC0));
    else if (b >= 0x80)
      u = cp1251High[b - 0x80];
    *out++ = QChar(u);
  }
  return s;
}

// The next place of one kind of line break, found by the library's fast
// search and kept until the reading passes it.
struct TNextBreak {
  QByteArrayView bytes, pattern;
  qsizetype at = -1;  // bytes.size(): none left
  qsizetype from(qsizetype pos) {
    // The first byte by the library's memchr, the rest compared here.
    for (; at < pos; pos = at + 1) {
      at = bytes.indexOf(pattern[0], pos);
      if (at < 0) return at = bytes.size();
      if (bytes.sliced(at).startsWith(pattern)) break;
    }
    return at;
  }
};

// Lines straight from the bytes, each decoded on its own: the breaks are the
// same as SplitTextLines finds in the decoded text (CR LF, CR, LF, and in
// UTF-8 the bytes of U+2028).
template <typename Decode>
QStringList splitBytes(QByteArrayView bytes, bool utf8, QString& lineBreak, Decode decode) {
  QStringList lines;
  const qsizetype n = bytes.size();
  TNextBreak cr{bytes, "\r"}, lf{bytes, "\n"}, ls{bytes, "\xE2\x80\xA8"};
  qsizetype start = 0;
  lineBreak.clear();
  for (;;) {
    qsizetype i = qMin(cr.from(start), lf.from(start));
    if (utf8) i = qMin(i, ls.from(start));
    if (i == n) break;
    const char c = bytes[i];
    const int breakLength = c == '\r' ? (i + 1 < n && bytes[i + 1] == '\n' ? 2 : 1) : c == '\n' ? 1 : 3;
    if (lineBreak.isEmpty())
      lineBreak = breakLength == 3 ? QString(QChar(0x2028)) : QString::fromLatin1(bytes.data() + i, breakLength);
    lines.append(decode(bytes.sliced(start, i - start)));
    start = i + breakLength;
  }
  if (start < n) lines.append(decode(bytes.sliced(start)));
  if (lineBreak.isEmpty()) lineBreak = QStringLiteral("\r\n");
  return lines;
}

bool wellFormedUtf8(QByteArrayView bytes) {
  QStringDecoder strict(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QString checked = strict.decode(bytes);  // decoding happens on the conversion
  return !strict.hasError();
}

// UTF-8 lines, a mark at a line's start kept as text.  Tells whether every
// line was well formed (a sequence cut short at a line's end is not), in the
// same pass: a malformed sequence decodes as U+FFFD, so only a line holding
// one is checked again.
bool splitUtf8(QByteArrayView bytes, QString& lineBreak, QStringList& lines) {
  bool valid = true;
  lines = splitBytes(bytes, true, lineBreak, [&valid](QByteArrayView line) {
    if (!valid) return QString();  // the text is read again as another encoding
    const bool bom = line.startsWith("\xEF\xBB\xBF");  // fromUtf8 would drop it; here it is text
    QString s = bom ? QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom).decode(line)
                    : QString::fromUtf8(line);
    // The mark's decoder keeps a sequence cut short back instead of replacing it.
    if (bom || s.contains(QChar(QChar::ReplacementCharacter))) valid = wellFormedUtf8(line);
    return s;
  });
  return valid;
}

QString decodeUtf16(const QByteArray& bytes, int from, bool littleEndian) {
  const int units = (bytes.size() - from) / 2;
  QString s(units, Qt::Uninitialized);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + from;
  for (int i = 0; i < units; ++i, p += 2)
    s[i] = QChar(littleEndian ? char16_t(p[0] | (p[1] << 8)) : char16_t((p[0] << 8) | p[1]));
  // A dangling odd byte cannot be a character; keep a visible trace of it.
  if ((bytes.size() - from) % 2) s += QChar(QChar::ReplacementCharacter);
  return s;
}

QByteArray encodeUtf16(const QString& s, bool littleEndian) {
  QByteArray out(s.size() * 2, Qt::Uninitialized);
  char* p = out.data();
  for (QChar c : s) {
    const char16_t u = c.unicode();
    if (littleEndian) {
      *p++ = char(u & 0xFF);
      *p++ = char(u >> 8);
    } else {
      *p++ = char(u >> 8);
      *p++ = char(u & 0xFF);
    }
  }
  return out;
}

// The style of the text's first line break; CR LF when it has none.
QString firstBreak(QStringView text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') break;
    if (c == u'\r' || c == u'\n' || c == 0x2028) return QString(QChar(c));
  }
  return QStringLiteral("\r\n");
}

QString reasonFor(const QString& path, const QFileDevice& file) {
  const QFileInfo info(path);
  if (!info.exists()) return QStringLiteral("файл не найден");
  if (info.isDir()) return QStringLiteral("это папка");
  if (file.error() == QFileDevice::PermissionsError) return QStringLiteral("нет доступа");
  return FileErrorText(file);
}

// Releases the advisory lock on every way out of ReadTextFile.
struct FlockGuard {
  int fd = -1;
  ~FlockGuard() {
    if (fd >= 0) ::flock(fd, LOCK_UN);
  }
};

}  // namespace

QStringList SplitTextLines(const QString& text, QString* lineBreak) {
  QStringList lines;
  QString style;
  const int n = text.size();
  const QChar* d = text.constData();
  int start = 0;
  for (int i = 0; i < n; ++i) {
    const char16_t c = d[i].unicode();
    int breakLength = 0;
    if (c == u'\r')
      breakLength = (i + 1 < n && d[i + 1] == QLatin1Char('\n')) ? 2 : 1;
    else if (c == u'\n' || c == 0x2028)
      breakLength = 1;
    if (!breakLength) continue;
    if (style.isEmpty()) style = text.mid(i, breakLength);
    lines.append(text.mid(start, i - start));
    i += breakLength - 1;
    start = i + 1;
  }
  if (start < n) lines.append(text.mid(start));
  if (lineBreak) *lineBreak = style.isEmpty() ? QStringLiteral("\r\n") : style;
  return lines;
}

QString DecodeWindows1251(const QByteArray& bytes) { return decode1251(bytes); }

QByteArray EncodeWindows1251(const QString& text) {
  QByteArray out;
  out.reserve(text.size());
  for (QChar c : text) {
    // Surrogates are never in the code page, so a non-BMP character becomes
    // the two codes of its surrogate halves.
    const int b = c.isSurrogate() ? -1 : encode1251(c.unicode());
    if (b >= 0)
      out += char(b);
    else
      appendMTextCode(out, c.unicode());
  }
  return out;
}

namespace {

// The encoding a byte order mark at the start names, set into format with
// its bom flag; returns the mark's length (0: none).
int byteOrderMark(QByteArrayView bytes, TTextFormat& format) {
  static const struct {
    QByteArrayView mark;
    TTextFormat::Encoding encoding;
  } marks[] = {{"\xEF\xBB\xBF", TTextFormat::Utf8},
               {"\xFF\xFE", TTextFormat::Utf16LE},
               {"\xFE\xFF", TTextFormat::Utf16BE}};
  for (const auto& m : marks)
    if (bytes.startsWith(m.mark)) {
      format.encoding = m.encoding;
      format.bom = true;
      return int(m.mark.size());
    }
  format.bom = false;
  return 0;
}

// The whole text after a byte order mark of the given length.
QString decodeMarked(const QByteArray& bytes, int mark, TTextFormat::Encoding encoding) {
  if (encoding != TTextFormat::Utf8) return decodeUtf16(bytes, mark, encoding == TTextFormat::Utf16LE);
  // A second mark right after the first is text and must stay.
  return QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom)
      .decode(QByteArrayView(bytes).sliced(mark));
}

}  // namespace

QStringList DecodeTextLines(const QByteArray& bytes, TTextFormat& format) {
  if (const int mark = byteOrderMark(bytes, format)) {
    if (QStringList lines;
        format.encoding == TTextFormat::Utf8 && splitUtf8(QByteArrayView(bytes).sliced(mark), format.lineBreak, lines))
      return lines;
    return SplitTextLines(decodeMarked(bytes, mark, format.encoding), &format.lineBreak);
  }
  if (QStringList lines; hasNonAscii(bytes) && splitUtf8(bytes, format.lineBreak, lines)) {
    format.encoding = TTextFormat::Utf8;
    return lines;
  }
  // Pure ASCII is read as the ANSI code page too: the host wrote it that way,
  // and Cyrillic typed into it must go back in the code page the host reads.
  format.encoding = TTextFormat::Ansi;
  return splitBytes(bytes, false, format.lineBreak, decode1251);
}

QString DecodeText(const QByteArray& bytes, TTextFormat& format) {
  const QByteArrayView all(bytes);
  QString text;
  if (const int mark = byteOrderMark(all, format)) {
    text = decodeMarked(bytes, mark, format.encoding);
  } else {
    format.encoding = TTextFormat::Ansi;
    if (hasNonAscii(all)) {
      // A malformed sequence decodes as U+FFFD: only then is the text checked again.
      text = QString::fromUtf8(all);
      if (!text.contains(QChar(QChar::ReplacementCharacter)) || wellFormedUtf8(all))
        format.encoding = TTextFormat::Utf8;
    }
    if (format.encoding == TTextFormat::Ansi) text = decode1251(all);
  }
  format.lineBreak = firstBreak(text);
  return text;
}

QByteArray EncodeTextLines(const QStringList& lines, const TTextFormat& format) {
  const QString lineBreak = format.lineBreak.isEmpty() ? QStringLiteral("\r\n") : format.lineBreak;
  qsizetype total = 0;
  for (const QString& l : lines) total += l.size() + lineBreak.size();
  if (format.encoding == TTextFormat::Utf8) {
    // Line by line into one buffer: a megabyte text is not held twice more
    // (joined, then converted) while a copy of it is written.
    QByteArray bytes;
    bytes.reserve(3 + 3 * total);  // pages never written cost no memory
    if (format.bom) bytes += "\xEF\xBB\xBF";
    const QByteArray br = lineBreak.toUtf8();
    for (const QString& l : lines) {
      bytes += l.toUtf8();
      bytes += br;
    }
    return bytes;
  }
  QString text;
  text.reserve(total);
  for (const QString& l : lines) {
    text += l;
    text += lineBreak;
  }
  switch (format.encoding) {
    case TTextFormat::Utf16LE:
      return (format.bom ? QByteArray("\xFF\xFE") : QByteArray()) + encodeUtf16(text, true);
    case TTextFormat::Utf16BE:
      return (format.bom ? QByteArray("\xFE\xFF") : QByteArray()) + encodeUtf16(text, false);
    case TTextFormat::Utf8:  // encoded line by line above
    case TTextFormat::Ansi:
      break;
  }
  return EncodeWindows1251(text);
}

namespace {

// The file's bytes, read while other writers are kept out; false with a
// Russian reason in error.
bool readFileBytes(const QString& path, QByteArray& bytes, QString& error) {
  const QString shown = QDir::toNativeSeparators(path);
  QFile file(path);
  if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("Не удается открыть файл %1: %2").arg(shown, reasonFor(path, file));
    return false;
  }
  // Reading a huge file would take minutes and gigabytes before the user
  // could do anything; no MText object comes anywhere near this size.
  if (file.size() > MaxTextFileBytes) {
    const qint64 mb = (file.size() + (1 << 20) - 1) >> 20;
    error = QStringLiteral("Файл %1 слишком велик (%2 МБ): Korvex открывает тексты не больше %3 МБ.")
                .arg(shown)
                .arg(mb)
                .arg(MaxTextFileBytes >> 20);
    return false;
  }
  FlockGuard lock;
  if (::flock(file.handle(), LOCK_SH | LOCK_NB) == 0) {
    lock.fd = file.handle();
  } else if (errno == EWOULDBLOCK) {
    error = QStringLiteral("Не удается открыть файл %1: файл занят другой программой").arg(shown);
    return false;
  }  // a file system without locks is read unlocked
  bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    error = QStringLiteral("Не удается прочитать файл %1: %2").arg(shown, FileErrorText(file));
    return false;
  }
  return true;
}

}  // namespace

bool ReadTextFile(const QString& path, QStringList& lines, TTextFormat& format, QString& error) {
  QByteArray bytes;
  if (!readFileBytes(path, bytes, error)) return false;
  TTextFormat found;
  lines = DecodeTextLines(bytes, found);
  format = found;
  return true;
}

bool ReadTextFile(const QString& path, QString& text, TTextFormat& format, QString& error) {
  QByteArray bytes;
  if (!readFileBytes(path, bytes, error)) return false;
  TTextFormat found;
  text = DecodeText(bytes, found);
  format = found;
  return true;
}

bool WriteTextFile(const QString& path, const QStringList& lines, const TTextFormat& format, QString& error) {
  const QString shown = QDir::toNativeSeparators(path);
  const QFileInfo info(path);
  if (info.isDir()) {
    error = QStringLiteral("Не удается записать файл %1: это папка").arg(shown);
    return false;
  }
  const bool existed = info.exists();
  // Replacing the file through a temporary one would bypass its own
  // write protection; a protected file stays as it is.
  if (existed && !info.isWritable()) {
    error = QStringLiteral("Не удается записать файл %1: файл только для чтения").arg(shown);
    return false;
  }
  const QFileDevice::Permissions permissions = existed ? QFile::permissions(path) : QFileDevice::Permissions();
  const QByteArray bytes = EncodeTextLines(lines, format);

  QSaveFile file(path);
  file.setDirectWriteFallback(false);
  // Unbuffered, so a short write shows in write()'s result: a buffered
  // QSaveFile commits a file cut short by a full disk as a success.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    error = QStringLiteral("Не удается записать файл %1: %2").arg(shown, FileErrorText(file));
    return false;
  }
  if (file.write(bytes) != bytes.size() || file.size() != bytes.size()) {
    error = QStringLiteral("Не удается записать файл %1: %2").arg(shown, FileErrorText(file));
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    error = QStringLiteral("Не удается записать файл %1: %2").arg(shown, FileErrorText(file));
    return false;
  }
  if (existed && QFile::permissions(path) != permissions) QFile::setPermissions(path, permissions);
  return true;
}
