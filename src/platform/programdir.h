#pragma once

#include <string>

namespace tervasko {

// Directory of the running program file, always ending in '/', whatever the working
// directory is.
std::string ProgramDir();

// The folder of the files the program shares with nothing else (the shipped translations),
// found from the program's own place, "<program dir>/../share/tervasko/", so that an
// installed or unpacked copy works from any folder. Ends in '/'; empty when there is none
// (a build folder, a portable copy).
std::string SharedDataDir(const std::string& programDir);

// The user's configuration folder for the program: "$XDG_CONFIG_HOME/tervasko/", or
// "$HOME/.config/tervasko/" when that variable is unset, empty or not an absolute path.
// Ends in '/'; empty when neither variable gives a folder. Nothing is created.
std::string UserConfigDir();

// Where "options.dat", "translate.dbf" and "tervasko.conf" live. A program that runs from
// a folder of its own (a build folder, a portable copy) keeps them beside itself, as long
// as it may write there. An installed program (one with a shared data folder) and one in a
// folder it cannot write to use the user's configuration folder, so that nothing is ever
// written into a system folder, not even when root starts the program.
std::string ChooseDataDir(const std::string& programDir, bool programDirWritable, bool installed,
                          const std::string& userConfigDir);

// ChooseDataDir for the running program, with the configuration folder created when it is
// chosen (with its parents, mode 0700 as the XDG rules ask). Falls back to the program's
// folder when no configuration folder can be made. Ends in '/'.
std::string DataDir();

// Whether the current user may create files in `dir`.
bool FolderWritable(const std::string& dir);

}  // namespace tervasko
