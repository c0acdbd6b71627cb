#include "dxf/DxfStrings.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "mtext/MTextLexicon.h"

namespace {

// $DWGCODEPAGE names to the names ICU knows; the bool tells a multi-byte page.
QByteArray icuName(const QString& codePage, bool& multiByte) {
  const QString cp = codePage.trimmed().toUpper();
  multiByte = false;
  if (cp.startsWith(QLatin1String("ANSI_"))) {
    const int n = cp.mid(5).toInt();
    switch (n) {
      case 932: multiByte = true; return "windows-31j";
      case 936: multiByte = true; return "GBK";
      case 949: multiByte = true; return "windows-949";
      case 950: multiByte = true; return "Big5";
      case 1361: multiByte = true; return "johab";
      default: return n > 0 ? "windows-" + QByteArray::number(n) : QByteArray();
    }
  }
  if (cp.startsWith(QLatin1String("DOS"))) return "IBM" + cp.mid(3).toLatin1();
  if (cp.startsWith(QLatin1String("ISO8859-"))) return "ISO-8859-" + cp.mid(8).toLatin1();
  if (cp == QLatin1String("MACINTOSH")) return "macintosh";
  return QByteArray();
}

bool isHex(QChar c) {
  return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ||
         (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

bool hexRun(const QString& s, qsizetype from, int count) {
  if (from + count > s.size()) return false;
  for (int i = 0; i < count; ++i)
    if (!isHex(s[from + i])) return false;
  return true;
}

// The length of the piece of an encoded value that starts at i and may not be
// cut: \U+XXXX, \M+NXXXX, another backslash pair, a caret escape, a surrogate
// pair, or one unit.
int unitLength(const QString& s, qsizetype i) {
  const QChar c = s[i];
  if (i + 1 >= s.size()) return 1;
  const QChar next = s[i + 1];
  if (c == QLatin1Char('\\')) {
    if ((next == QLatin1Char('U') || next == QLatin1Char('u')) && i + 2 < s.size() &&
        s[i + 2] == QLatin1Char('+') && hexRun(s, i + 3, 4))
      return 7;
    if ((next == QLatin1Char('M') || next == QLatin1Char('m')) && i + 2 < s.size() &&
        s[i + 2] == QLatin1Char('+') && hexRun(s, i + 3, 5))
      return 8;
    return 2;
  }
  if (c == QLatin1Char('^')) return 2;
  if (c.isHighSurrogate() && next.isLowSurrogate()) return 2;
  return 1;
}

void appendUCode(QString& out, char16_t u) {
  out += QLatin1String("\\U+");
  out += QString::number(u, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

}  // namespace

TDxfCodec TDxfCodec::forDrawing(bool utf8, const QString& codePage) {
  TDxfCodec codec;
  if (utf8) {
    codec.FUtf8 = true;
    return codec;
  }
  bool multiByte = false;
  const QByteArray name = icuName(codePage.isEmpty() ? QStringLiteral("ANSI_1252") : codePage, multiByte);
  if (name.isEmpty()) return codec;
  QStringDecoder probe(name.constData(), QStringConverter::Flag::Stateless);
  if (!probe.isValid()) return codec;
  if (multiByte) {
    codec.FName = name;
    return codec;
  }
  // A single-byte page is a table; a byte the page leaves undefined stands for
  // the character of the same number, so that it survives a round trip.
  std::shared_ptr<char16_t[]> table(new char16_t[256]);
  for (int b = 0; b < 256; ++b) {
    const char byte = char(b);
    QStringDecoder one(name.constData(), QStringConverter::Flag::Stateless);
    const QString s = one.decode(QByteArrayView(&byte, 1));
    table[b] = (s.size() == 1 && !one.hasError() && s[0] != QChar::ReplacementCharacter) ? s[0].unicode()
                                                                                         : char16_t(b);
  }
  codec.FTable = table;
  return codec;
}

QString TDxfCodec::decode(const char* data, qsizetype size) const {
  if (FUtf8) return QString::fromUtf8(data, size);
  if (FTable) {
    QString s(size, Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < size; ++i) out[i] = QChar(FTable[static_cast<unsigned char>(data[i])]);
    return s;
  }
  QStringDecoder decoder(FName.constData(), QStringConverter::Flag::Stateless);
  return decoder.decode(QByteArrayView(data, size));
}

bool TDxfCodec::encodable(char32_t c) const {
  if (FUtf8 || c < 0x80) return true;
  if (FTable) {
    if (c > 0xFFFF) return false;
    for (int b = 0x80; b < 256; ++b)
      if (FTable[b] == c) return true;
    return false;
  }
  const QString s = QString::fromUcs4(&c, 1);
  QStringEncoder encoder(FName.constData(), QStringConverter::Flag::Stateless);
  const QByteArray bytes = encoder.encode(s);
  if (encoder.hasError()) return false;
  QStringDecoder decoder(FName.constData(), QStringConverter::Flag::Stateless);
  return decoder.decode(bytes) == s;
}

QString TDxfCodec::escapeForCodePage(const QString& text) const {
  if (FUtf8) return text;
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    char32_t code = c.unicode();
    const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    if (pair) code = QChar::surrogateToUcs4(c, text[i + 1]);
    if (encodable(code)) {
      out += c;
      if (pair) out += text[++i];
    } else {
      appendUCode(out, c.unicode());
      if (pair) appendUCode(out, text[++i].unicode());
    }
  }
  return out;
}

QByteArray TDxfCodec::encode(const QString& text) const {
  if (FUtf8) return text.toUtf8();
  const QString safe = escapeForCodePage(text);
  if (FTable) {
    QByteArray out(safe.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < safe.size(); ++i) {
      const char16_t u = safe[i].unicode();
      int byte = u < 0x80 ? int(u) : -1;
      for (int b = 0x80; byte < 0 && b < 256; ++b)
        if (FTable[b] == u) byte = b;
      out[i] = char(byte);  // escapeForCodePage left only encodable characters
    }
    return out;
  }
  QStringEncoder encoder(FName.constData(), QStringConverter::Flag::Stateless);
  return encoder.encode(safe);
}

QString CaretDecode(const QString& s) {
  if (!s.contains(QLatin1Char('^'))) return s;
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c == QLatin1Char('^') && i + 1 < s.size()) {
      const char16_t n = s[i + 1].unicode();
      if (n == ' ') {
        out += QLatin1Char('^');
        ++i;
        continue;
      }
      if (n >= '@' && n <= '_') {
        out += QChar(char16_t(n - 64));
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

QString CaretEncode(const QString& s) {
  QString out;
  out.reserve(s.size());
  for (QChar c : s) {
    const char16_t u = c.unicode();
    if (u == '^') {
      out += QLatin1String("^ ");
    } else if (u < 0x20) {
      out += QLatin1Char('^');
      out += QChar(char16_t(u + 64));
    } else {
      out += c;
    }
  }
  return out;
}

QStringList SplitMTextChunks(const QString& s, int size) {
  QStringList chunks;
  qsizetype start = 0;
  while (start < s.size()) {
    qsizetype end = start;
    while (end < s.size()) {
      const int len = unitLength(s, end);
      if (end - start + len > size) break;
      end += len;
    }
    chunks << s.mid(start, end - start);
    start = end;
  }
  if (chunks.isEmpty()) chunks << QString();
  return chunks;
}

QStringList MTextToLines(const QString& mtext) {
  QStringList lines;
  qsizetype from = 0;
  for (qsizetype i = 0; i + 1 < mtext.size(); ++i) {
    if (mtext[i] != QLatin1Char('\\')) continue;
    if (mtext[i + 1] == QLatin1Char('P')) {
      lines << mtext.mid(from, i - from);
      from = i + 2;
    }
    ++i;  // the code letter or escaped character is not a backslash of its own
  }
  lines << mtext.mid(from);
  return lines;
}

QString LinesToMText(const QStringList& lines) { return lines.join(QLatin1String("\\P")); }

QString DxfPlainText(const QString& m) {
  QString out;
  out.reserve(m.size());
  TMTextLexer lexer(m);
  for (qsizetype pos = 0; pos < m.size();) {
    const TMTextToken t = lexer.scan(pos);
    pos = t.end();
    switch (t.kind) {
      case lkChar:
      case lkEscape:
        out += QChar(t.ch);
        break;
      case lkSymbol: {
        const char16_t sym = t.code == 'c' ? 0x00D8 : t.code == 'd' ? 0x00B0 : t.code == 'p' ? 0x00B1 : t.ch;
        out += QChar(sym);
        break;
      }
      case lkCode:
        switch (t.info->effect) {
          case efFormat: break;
          case efLineBreak: out += QLatin1Char('\n'); break;
          case efSpace: out += QLatin1Char(' '); break;
          case efCharacter: out += QChar(t.ch); break;
          case efStack:
            // upper/lower whatever the stack's kind; \^ and the like are the character.
            for (qsizetype i = t.argStart; i < t.argStart + t.argLength; ++i) {
              const QChar c = m[i];
              if (c == QLatin1Char('\\') && i + 1 < t.argStart + t.argLength) {
                out += m[++i];
              } else {
                out += c == QLatin1Char('^') || c == QLatin1Char('#') ? QLatin1Char('/') : c;
              }
            }
            break;
        }
        break;
      case lkGroupOpen:
      case lkGroupClose:
        break;
    }
  }
  return out;
}
