#include "HighlightTest.h"

KORVEX_TEST_MAIN
