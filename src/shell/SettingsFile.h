// SettingsFile.h - the settings file Merivac.set in the program folder.
//
// One setting per line: the four-character key, ": " and the value, each
// line ended by CR LF. The file is read once at start-up and written once
// when the main window closes; in between the settings live in memory.
#pragma once

#include <string>

#include "common/Settings.h"

namespace merivac {

inline constexpr const char* kSettingsFileName = "Merivac.set";

// Reads the file at path into settings. Keys missing from the file keep the
// values already in force; unknown keys and lines shorter than seven
// characters are ignored; an unreadable integer takes its fallback value,
// an unreadable TIME 0; a boolean counts only when it reads Y (VAGC: N).
// Afterwards the mixer frequency, the colour gain and the spectrum edges
// are checked. windowPlaced is set when both TOP_ and LEFT were read.
// False when the file does not exist (nothing changes) or a read error
// occurred part-way (the lines before it stay applied, the checks do not
// run); true otherwise, also for an empty file.
bool LoadSettings(Settings& settings, const std::string& path);

// Writes every setting to path, in the fixed key order. The text goes to a
// temporary file in the same folder that replaces the old file only once
// it was written completely, so a failure never leaves a truncated file.
// False on any file error (the old file is then untouched).
bool SaveSettings(const Settings& settings, const std::string& path);

// The file's text for settings, exactly as SaveSettings writes it.
std::string SettingsFileText(const Settings& settings);

}  // namespace merivac
