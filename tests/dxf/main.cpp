#include "TestMain.h"

KORVEX_TEST_MAIN
