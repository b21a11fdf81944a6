#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <functional>
#include <optional>
#include <string>

namespace zbpg::platform {

// The X server's side of the desktop picture: the root window's background pixmap (the
// properties terminals and compositors read), its primary monitor, its resources. Each call
// opens a connection of its own; without an X server each says so by its result.

enum class RootWindow { Absent, Shown, Refused };

// What a monitor of the size given shows when the root window has no wallpaper yet.
using MonitorPainter = std::function<QImage(QSize)>;

// Makes the picture the root window's background on the primary monitor; a new pixmap of the
// root depth each time, kept after the connection closes, the previous setter's freed. Every
// other monitor keeps its part of the wallpaper before; at a session's start, when there is
// none, it shows what paintMonitor paints for it. The rest is the background colour.
RootWindow showOnRootWindow(const QImage& picture, const QColor& background,
                            const MonitorPainter& paintMonitor);

// Who set the wallpaper the root window shows now: nobody (no pixmap, or one that is gone),
// this program (in any run) or another program.
enum class RootWallpaperSetter { Nobody, ThisProgram, AnotherProgram };
RootWallpaperSetter rootWallpaperSetter();

// The primary monitor's part of the root window's background pixmap (_XROOTPMAP_ID), as large
// as screen, the background colour where the pixmap is smaller; nothing without one.
std::optional<QImage> rootWallpaper(QSize screen, const QColor& background);

// The root window's mark of this X server: it lives as long as the server, so a new login
// session (a new server) has a new one.
std::optional<std::string> xSessionMark();

// "Xft.dpi" of the server's resources, the density every X toolkit draws its text at.
std::optional<int> xResourceDpi();

// The primary monitor's size in pixels; empty without an X server.
QSize xScreenSize();

bool hasXServer();

} // namespace zbpg::platform
