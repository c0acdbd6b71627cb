#pragma once
// Where the program finds its data and keeps the user's.  One rule, two layouts:
//
// - portable: the executable's folder holds Support/, Help/ and the settings
//   file (korvex.ini, named after the executable).  Everything the program
//   writes lands there, as in a build folder or an unpacked archive.
// - installed: the executable sits in <prefix>/bin and the read-only data in
//   <prefix>/share/korvex (Support/, Help/).  The settings file lives in
//   $XDG_CONFIG_HOME/korvex/, and the files the user changes (menu.xml,
//   unit_conv.xml, the word lists in dict/) in $XDG_DATA_HOME/korvex/.  The
//   shipped copies are never written: the first change creates the user's
//   copy, and reading prefers it from then on.  The spelling dictionaries
//   come from the system's Hunspell folder.  Recovery copies of unsaved texts
//   go to $XDG_STATE_HOME/korvex/recovery/ (portable: recovery/ beside the
//   executable).
//
// The layout is told by the folders alone, so an installed tree moved or
// unpacked elsewhere (dpkg -x into a scratch root) still finds its data.
#include <QString>

namespace platform {

struct ProgramPaths {
  bool Installed = false;
  QString ExeFolder;     // the executable's folder
  QString DataFolder;    // shipped, read-only when installed: holds Support/ and Help/
  QString SupportFolder; // DataFolder + "Support/"
  QString HelpFolder;    // DataFolder + "Help" (no trailing separator, as setHelpFolder takes it)
  QString UserFolder;    // the user's copies of the Support files
  QString SettingsFile;  // korvex.ini (or the executable's name with ".ini")
  QString DictFolder;    // the Hunspell .aff/.dic pairs
  QString UserDictFolder;  // the user word lists (<language>.user.dic)
  QString RecoveryFolder;  // recovery copies of texts not yet written to their document
};
// Folders end with '/' unless said otherwise.

// The rule for an executable at exeFilePath.  The XDG variables are read
// from the environment now (unset, empty or relative: ~/.config,
// ~/.local/share and ~/.local/state, as the XDG base directory rules say).
ProgramPaths ResolveProgramPaths(const QString& exeFilePath);

// The paths of this process: resolved from the running executable on first
// use unless set before (tests).
const ProgramPaths& programPaths();
void setProgramPaths(const ProgramPaths& paths);

// A Support file to read: the user's copy when there is one, else the
// shipped one.
QString supportFile(const QString& name);
// Where a write to path must go: a shipped Support file of the installed
// layout maps to the user's copy, whose folder is created (the user's data
// folder may not exist yet); any other path is returned as is.
QString writablePath(const QString& path);
// The same path, without creating any folder (to show where a write will go).
QString writeTarget(const QString& path);

}  // namespace platform
