// The document codec on any bytes: the lines and format found are written
// back and read again unchanged, as an unedited document round-trips.
#include <QStringList>

#include "core/TextCodec.h"
#include "fuzz/FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  TTextFormat format;
  const QStringList lines = DecodeTextLines(bytes, format);

  const QByteArray written = EncodeTextLines(lines, format);
  TTextFormat formatAgain;
  const QStringList linesAgain = DecodeTextLines(written, formatAgain);
  FUZZ_CHECK(linesAgain == lines);
  FUZZ_CHECK(formatAgain.encoding == format.encoding && formatAgain.bom == format.bom &&
              (lines.isEmpty() || formatAgain.lineBreak == format.lineBreak));
  // Once normalised, the bytes are stable.
  FUZZ_CHECK(EncodeTextLines(linesAgain, formatAgain) == written);

  // Text the code page cannot hold survives as \U+XXXX codes.
  const QString joined = lines.join(QLatin1Char('\n'));
  const QByteArray ansi = EncodeWindows1251(joined);
  for (char c : ansi) FUZZ_CHECK(c != '?' || joined.contains(QLatin1Char('?')));
  return 0;
}
