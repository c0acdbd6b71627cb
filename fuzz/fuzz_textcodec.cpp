// The document codec on any bytes: the lines and format found are written
// back and read again unchanged, as an unedited document round-trips; and
// the MText the headless render builds from the whole text in place is the
// one the editor builds from its lines.
#include <QStringList>

#include <algorithm>

#include "app/RenderText.h"
#include "core/TextCodec.h"
#include "fuzz/FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  TTextFormat format;
  const QStringList lines = DecodeTextLines(bytes, format);
  TTextFormat wholeFormat;
  FUZZ_CHECK(EditorTextToMText(DecodeText(bytes, wholeFormat)) == EditorTextToMText(lines, QString()));

  const QByteArray written = EncodeTextLines(lines, format);
  TTextFormat formatAgain;
  const QStringList linesAgain = DecodeTextLines(written, formatAgain);
  FUZZ_CHECK(linesAgain == lines);
  // ASCII without a BOM reads the same as UTF-8 and as the code page: a text
  // that was UTF-8 only for its U+2028 breaks may come back as either.
  const bool ascii = !format.bom && std::all_of(written.begin(), written.end(), [](char c) { return uchar(c) < 0x80; });
  const bool sameEncoding = formatAgain.encoding == format.encoding ||
                            (ascii && formatAgain.encoding == TTextFormat::Ansi && format.encoding == TTextFormat::Utf8);
  FUZZ_CHECK(sameEncoding && formatAgain.bom == format.bom &&
             (lines.isEmpty() || formatAgain.lineBreak == format.lineBreak));
  // Once normalised, the bytes are stable.
  FUZZ_CHECK(EncodeTextLines(linesAgain, formatAgain) == written);

  // Text the code page cannot hold survives as \U+XXXX codes.
  const QString joined = lines.join(QLatin1Char('\n'));
  const QByteArray ansi = EncodeWindows1251(joined);
  for (char c : ansi) FUZZ_CHECK(c != '?' || joined.contains(QLatin1Char('?')));
  return 0;
}
