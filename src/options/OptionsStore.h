#pragma once

#include "options/Options.h"
#include "settings/RegMng.h"

#include <string>
#include <vector>

namespace zbpg {

// Makes the manager the program's settings: the INI file with the program's schema.
// With a seed file, the settings read as that file until the user's own file exists.
void openSettings(TRegManager& settings, const std::string& iniFile,
                  const std::string& seedFile = {});

// Reads every option the window stores from the settings file into the options as they stand,
// item by item in the order of the schema, from one read of the file. An item the file does not
// hold takes its default; a font or a list the file does not hold stays as it is. Coordinates
// are bounded by the screen and the start-up wait by kMaxStartUpWait, as the window's fields
// bound them. The visible check lists are filled from their hidden lists right after those are
// read (appended: they are expected empty). An item that cannot be read keeps its value as it
// stood (a font keeps what was read of it before the error) and the load goes on; the result
// is the messages of the items that failed, in order, each naming the key ("'%s' は整数では
// ありません ([MonitorFrame] MFFont_FontColor)"). Empty when everything was read.
[[nodiscard]] std::vector<std::string> loadOptions(TRegManager& settings, Options& options,
                                                   const ScreenBounds& screen);

// Writes every option the window stores, in the order of the schema, as one replacement of the
// file: a file that cannot be written raises "%s に書き込めません" and is left as it was.
void saveOptions(TRegManager& settings, const Options& options);

// The items that loadOptions and saveOptions read and write, in their order: the schema
// without the items their own parts write at once (the remembered folders, the filter index,
// the index of the last wallpaper).
std::vector<std::string> optionItemNames();

} // namespace zbpg
