// Remembers where the latest C++ exception was thrown, so that an exception
// escaping a test can be reported with the stack of its throw and not only
// with that of the place that finally caught it.  Linked into every test
// executable; it wraps the C++ runtime's throw entry point.
#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>

#include "TestMain.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVEX_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KORVEX_ASAN 1
#endif
#ifdef KORVEX_ASAN
extern "C" void __asan_handle_no_return();
#endif

namespace korvextest {
namespace {
thread_local ThrowSite tSite;
}
const ThrowSite& lastThrowSite() { return tSite; }
}  // namespace korvextest

// Declared where the C++ runtime's own header declares it, so the two agree.
namespace __cxxabiv1 {
extern "C" void __cxa_throw(void* object, std::type_info* type, void (*destroy)(void*)) {
  using CxaThrow = void (*)(void*, std::type_info*, void (*)(void*));
  static const auto real = reinterpret_cast<CxaThrow>(dlsym(RTLD_NEXT, "__cxa_throw"));
  korvextest::tSite.object = object;
  korvextest::tSite.type = type;
  korvextest::tSite.count = backtrace(korvextest::tSite.frames, korvextest::ThrowSite::kFrames);
#ifdef KORVEX_ASAN
  // What the sanitizer's own wrapper of this function does, which this one replaces.
  __asan_handle_no_return();
#endif
  real(object, type, destroy);
  __builtin_unreachable();
}
}  // namespace __cxxabiv1
