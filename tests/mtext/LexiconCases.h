#pragma once
// One row per code form: where the first token ends, what the lexer makes of
// it, and the plain text the preview draws for the whole sample (nullptr when
// the picture is not plain text).  The renderer's and the highlighter's
// suites both check themselves against these rows.
#include "mtext/MTextLexicon.h"

namespace lexiconcases {

struct TCase {
  const char* text;
  int end;  // the first token's length
  TMTextLexKind kind;
  const char* drawn;
};

inline const TCase kCases[] = {
    {"\\~x", 2, lkCode, " x"},
    {"\\Fsimplex.shx,gbcbig.shx;x", 25, lkCode, "x"},
    {"\\Fromand.shx|c1;x", 16, lkCode, nullptr},
    {"\\pxqc;x", 6, lkCode, "x"},
    {"\\pi2;", 5, lkCode, ""},
    {"\\Nx", 2, lkCode, nullptr},
    {"\\Xx", 2, lkCode, nullptr},
    {"\\c255;x", 6, lkCode, "x"},
    {"\\cred;", 2, lkCode, "red;"},
    {"\\Kx\\k", 2, lkCode, "x"},
    {"\\S+0.1^ -0.2;", 13, lkCode, nullptr},
    {"%%176", 5, lkSymbol, "\u00b0"},
    {"%%17", 1, lkChar, "%%17"},
    {"%%c", 3, lkSymbol, nullptr},
    {"\\H2.5;", 6, lkCode, ""},
    {"\\H2x;x", 5, lkCode, nullptr},
    {"\\H2xx", 4, lkCode, nullptr},
    {"\\C1;x", 4, lkCode, "x"},
    {"\\Cred;", 2, lkCode, "red;"},
    {"\\C1", 3, lkCode, ""},
    {"\\fArial;x", 8, lkCode, "x"},
    {"\\U+0416", 7, lkCode, "\u0416"},
    {"\\U+04", 1, lkChar, "\\U+04"},
    {"\\\\P", 2, lkEscape, "\\P"},
    {"\\{", 2, lkEscape, "{"},
    {"\\z", 1, lkChar, "\\z"},
    {"\\S1/2;", 6, lkCode, nullptr},
    {"\\Lx\\l", 2, lkCode, "x"},
    {"{x}", 1, lkGroupOpen, "x"},
    {"\\", 1, lkChar, "\\"},
};

}  // namespace lexiconcases
