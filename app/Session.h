#pragma once
// What one run of the program keeps beside its windows: the files it works
// with and the state that outlives a single command.  main owns the one
// session; the window and the commands are handed it.
#include <QString>

#include "app/General.h"
#include "app/SearchReplace.h"
#include "platform/Paths.h"
#include "tools/Conversion.h"

struct TSessionPaths {
  QString ProgramFolder;       // the executable's folder, with a trailing separator
  QString MenuFileName;        // Support/menu.xml, the user's copy when there is one
  QString MenuImagesFileName;  // Support/menu.bmp
};

struct TSession {
  // The settings record; all zeroes until the main window loads the file.
  TOptions Options;
  // Overrides the settings file (tests); empty: the program's own.
  QString SettingsFile;
  // The settings file: the executable's name with ".ini", next to it, or
  // korvex.ini in the user's configuration folder when installed.
  QString settingsFileName() const {
    return SettingsFile.isEmpty() ? platform::programPaths().SettingsFile : SettingsFile;
  }
  TSessionPaths Paths;
  // The unit list, read from its file on first use and written back, when
  // changed, as the session ends.
  TUnitConvertor Units;
  TSearchSession Search;
  // While set, each activation of the main window locks the Russian layout
  // (when the settings ask for it); cleared for the run once they do not.
  bool SwitchLayoutPending = true;
};
