#pragma once
// What one run of the program keeps beside its windows: the files it works
// with and the state that outlives a single command.  main owns the one
// session; the window and the commands are handed it.
#include <QString>

#include "app/SearchReplace.h"
#include "tools/Conversion.h"

struct TSessionPaths {
  QString ProgramFolder;       // the executable's folder, with a trailing separator
  QString MenuFileName;        // Support/menu.xml, the user's copy when there is one
  QString MenuImagesFileName;  // Support/menu.bmp
};

struct TSession {
  TSessionPaths Paths;
  // The unit list, read from its file on first use and written back, when
  // changed, as the session ends.
  TUnitConvertor Units;
  TSearchSession Search;
  // While set, each activation of the main window locks the Russian layout
  // (when the settings ask for it); cleared for the run once they do not.
  bool SwitchLayoutPending = true;
};
