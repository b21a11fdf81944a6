#pragma once

#include "platform/desktop/ScreenPicture.h"

#include <string>

namespace zbpg {

// What is at a path: an existing folder, nothing, or an existing file.
enum class PathKind { Folder = 0, Nothing = 1, File = 2 };
PathKind GetPathKind(const std::string& path);

// The folder part of a path including its final "/" ("" when there is none).
std::string ExtractFileDir(const std::string& path);

// The path with its extension (from the last "." of the file name) replaced by the given one;
// a name without extension gets it appended.
std::string ChangeFileExt(const std::string& path, const std::string& extension);

// The full path of the running program file.
std::string GetModuleFileName();

// The current user's Startup folder, where programs to run at logon are registered: the
// "Startup" value of the user's Shell Folders key, empty when there is none or it is no whole
// path. On first use the value is seeded with the desktop's autostart folder
// ($XDG_CONFIG_HOME/autostart). A registry file that cannot be read raises its error
// ("ファイル %s は開けません") and is not written.
std::string GetStartupFolder();

// --- system information: text, empty when it cannot be had ---
std::string GetLoginUserName();
std::string GetLocalComputerName();
std::string GetLocalIPAddress();

// --- the user's desktop wallpaper values ("Control Panel\Desktop") ---
// The "Wallpaper" value, empty when missing; a wallpaper the user has chosen in the desktop's
// own settings since the program last showed its picture there is recorded first, in its style. A
// value that holds no text raises
// "'%s' のデータ型が不正です".
void GetWallpaperFile(std::string& path);
// "TileWallpaper" is "1" / "WallpaperStyle" is "2".
bool IsWallpaperTiled();
bool IsWallpaperStretched();
// Each writes one value; false when it could not be written.
[[nodiscard]] bool SetWallpaperFile(const std::string& path);
[[nodiscard]] bool SetWallpaperTile(bool tile);
[[nodiscard]] bool SetWallpaperStretch(bool stretch);
// Writes the two style values (which replace a desktop's own style kept beside them), then
// displays the file (an empty path: no wallpaper) and records it as "Wallpaper". False when a value
// could not be written (nothing displayed then) or the file could not be displayed.
[[nodiscard]] bool ChangeWallpaper(const std::string& path, bool tile, bool stretch);
// Displays the show file as the desktop's wallpaper with the style recorded now (the desktop's
// own style when one is kept for the keep file), then records the keep file as the user's
// wallpaper. The show file is displayed without being recorded, so
// "Wallpaper" never names a file shown only for the moment; values that hold their text already
// are not written again. The results are not looked at: each step is done whatever the one
// before gave.
void ShowWallpaper(const std::string& keepFile, const std::string& showFile);
// ShowWallpaper for the draw run and "元に戻す", whose failures are reported: a show file that
// cannot be displayed raises "ファイル %s を壁紙に表示できません"; a value that cannot be written
// raises "'%s' の設定に失敗しました" once the picture is displayed.
void showWallpaperOrRaise(const std::string& keepFile, const std::string& showFile);
// The same for a draw run's picture, made for the screen and shown pixel for pixel while the
// keep file stays the recorded wallpaper; pictureName is the file it goes by in messages.
void showPictureOrRaise(const std::string& keepFile, const platform::ScreenPicture& picture,
                        const std::string& pictureName);
// Records the path as "Wallpaper" unless it is recorded already; false when it could not be
// written.
[[nodiscard]] bool recordWallpaperFile(const std::string& path);

// --- shortcuts and programs ---
// A shortcut (a desktop entry here) to target with the arguments and working folder; an empty
// folder means the target's folder. True when the file was written.
[[nodiscard]] bool CreateShortcut(const std::string& linkPath, const std::string& target,
                                  const std::string& arguments, const std::string& workingFolder,
                                  const std::string& description);

// The folder a command starts in when none is given: the command's folder without its final
// "/" (the root keeps it); empty for a bare program name.
std::string LaunchFolderOf(const std::string& command);

// The command line of a start that waits: the command in double quotes (unchanged, also when
// it holds quotes), one space, then the parameters unchanged.
std::string WaitCommandLine(const std::string& command, const std::string& parameters);

// Starts a program or document. Without wait: an executable starts detached with its parameters
// split into words (never through a shell); an existing document opens with the desktop's
// associated program; an address with a scheme ("https://…", "mailto:…") opens with the
// desktop's handler, and no working folder is ever made of it. With wait: the command line of
// WaitCommandLine, split into words, is started in the folder and waited for without a time limit;
// a document fails. The owner window and the show state mean nothing to X11 programs and are
// ignored. True when it started (and, with wait, ended).
[[nodiscard]] bool ExecApplication(const void* ownerWindow, bool wait, const std::string& command,
                                   const std::string& parameters, std::string folder,
                                   int showState);

} // namespace zbpg
