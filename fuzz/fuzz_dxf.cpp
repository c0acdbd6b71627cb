// The DXF reader on any bytes; for a drawing it accepts, writing an entity's
// own text back and a text full of codes, carets and pairs must give a drawing
// that reads the same, with every byte outside that entity's text kept.
#include "dxf/DxfDrawing.h"
#include "fuzz/FuzzCommon.h"

namespace {

void checkWrite(const TDxfDrawing& d, const TDxfMText& m, const QString& text, bool exact) {
  const QByteArray written = d.withText(m, text);
  TDxfDrawing again;
  QString error;
  FUZZ_CHECK(again.parse(written, error));
  FUZZ_CHECK(again.mtexts().size() == d.mtexts().size());
  const TDxfMText& n = again.mtexts()[m.index];
  FUZZ_CHECK(n.handle == m.handle && n.layer == m.layer && n.kind == m.kind && n.space == m.space);
  if (exact) FUZZ_CHECK(n.text == d.codec().escapeForCodePage(text));
  if (!m.textTags.isEmpty()) FUZZ_CHECK(n.outsideText(written) == m.outsideText(d.bytes()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  TDxfDrawing d;
  QString error;
  if (!d.parse(bytes, error)) {
    FUZZ_CHECK(!error.isEmpty());
    return 0;
  }
  // Multi-byte code pages turn invalid bytes into U+FFFD, written back as a code.
  const bool exact = d.codec().isUtf8() || d.codec().isSingleByte();
  for (const TDxfMText& m : d.mtexts()) {
    if (m.index >= 4) break;
    checkWrite(d, m, m.text, exact);
    checkWrite(d, m, m.text + QStringLiteral("^\tж😀\\U+0041\n") + QString(300, QLatin1Char('x')), exact);
  }
  return 0;
}
