// The unit list reader on any bytes: it neither crashes nor hangs, every factor
// it takes is finite, and the list it read is written and read back unchanged
// (captions, hints and the factor as the file writes it).
#include <QBuffer>
#include <QByteArray>
#include <cmath>

#include "fuzz/FuzzCommon.h"
#include "tools/Conversion.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  QBuffer input(&bytes);
  input.open(QIODevice::ReadOnly);
  TUnitConvertor list;
  list.LoadFromDevice(&input);
  for (int i = 0; i < list.Count(); ++i) FUZZ_CHECK(std::isfinite(list.GetUnit(i)->Forward()));

  QByteArray written;
  QBuffer output(&written);
  output.open(QIODevice::WriteOnly);
  FUZZ_CHECK(list.SaveToDevice(&output));
  output.close();
  output.open(QIODevice::ReadOnly);
  TUnitConvertor back;
  FUZZ_CHECK(back.LoadFromDevice(&output));
  FUZZ_CHECK(back.Count() == list.Count());
  for (int i = 0; i < list.Count(); ++i) {
    const TUnit* a = list.GetUnit(i);
    const TUnit* b = back.GetUnit(i);
    FUZZ_CHECK(a->Caption() == b->Caption());
    FUZZ_CHECK(a->Hint() == b->Hint());
    FUZZ_CHECK(FactorToStr(a->Forward(), '.') == FactorToStr(b->Forward(), '.'));
  }
  // Nothing to write back: the lists belong to no file.
  list.setModified(false);
  back.setModified(false);
  return 0;
}
