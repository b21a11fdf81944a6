#pragma once

#include <string>

namespace zbpg {

// What is at a path: an existing folder, nothing, or an existing file.
enum PathKind { pkFolder = 0, pkNothing = 1, pkFile = 2 };
int GetPathKind(const std::string& path);

// The folder part of a path including its final "/" ("" when there is none).
std::string ExtractFileDir(const std::string& path);

// The path with its extension (from the last "." of the file name) replaced by the given one;
// a name without extension gets it appended.
std::string ChangeFileExt(const std::string& path, const std::string& extension);

// The full path of the running program file.
std::string GetModuleFileName();

// The current user's Startup folder, where programs to run at logon are registered: the
// "Startup" value of the user's Shell Folders key, empty when there is none. On first use the
// value is seeded with the desktop's autostart folder ($XDG_CONFIG_HOME/autostart).
std::string GetStartupFolder();

} // namespace zbpg
