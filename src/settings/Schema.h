#pragma once

#include "settings/ComponentStream.h"
#include "settings/RegMng.h"
#include "text/Texts.h"

#include <array>
#include <string_view>

namespace zbpg {

// What an item's value is, and so the filer operations that read and write it.
enum class ItemKind {
    Integer,     // ReadInteger, WriteInteger
    Boolean,     // ReadBool, WriteBool
    Text,        // ReadString, WriteString
    Font,        // ReadFont, WriteFont: four keys named after the item
    Strings,     // ReadStrings, WriteStrings: a count key and numbered keys
    ListControl, // ReadComponent, WriteComponent: the list's control stream
};

// Who writes an item: the options, all of them in one save; or the part of the program that
// uses the item, at once (the folders the choosers remember, the filter index, the index of
// the last wallpaper), so that a save of the options leaves it alone.
enum class ItemWriter { Options, ItsPart };

// One item of the program's settings.
struct SettingsItem {
    const char* name; // also the key
    const char* section;
    // Read when the store holds nothing. Fonts and lists keep what they hold instead, so theirs
    // is empty.
    const char* defaultText;
    ItemKind kind;
    ItemWriter writer = ItemWriter::Options;
};

// The program's settings vocabulary: the 83 items of the settings window's manager, in the
// order in which they are loaded and saved.
inline constexpr std::array<SettingsItem, 83> kSettingsItems{{
    {"Left", "System", "0", ItemKind::Integer},
    {"Top", "System", "0", ItemKind::Integer},
    {"DrawTypeOverwrite", "Application", "True", ItemKind::Boolean},
    {"DrawTypeRewrite", "Application", "False", ItemKind::Boolean},
    {"DrawSeq", "Application", "", ItemKind::ListControl},
    {"StartUpWaitSec", "Application", "0", ItemKind::Integer},
    {"WallpaperDraw", "Wallpaper", "False", ItemKind::Boolean},
    {"WPSubFolder", "Wallpaper", "True", ItemKind::Boolean},
    {"WPPCenter", "Wallpaper", "True", ItemKind::Boolean},
    {"WPPEnum", "Wallpaper", "False", ItemKind::Boolean},
    {"WPPSpread", "Wallpaper", "False", ItemKind::Boolean},
    {"WPSRandom", "Wallpaper", "True", ItemKind::Boolean},
    {"WPSSeq", "Wallpaper", "False", ItemKind::Boolean},
    {"WPFileDir", "Wallpaper", "", ItemKind::Text, ItemWriter::ItsPart},
    {"WPFilterIdx", "Wallpaper", "1", ItemKind::Integer, ItemWriter::ItsPart},
    {"WPStat", "Wallpaper", "", ItemKind::ListControl},
    {"WPFile", "Wallpaper", "", ItemKind::ListControl},
    {"WPPaintIdx", "Wallpaper", "-1", ItemKind::Integer, ItemWriter::ItsPart},
    {"MonitorFrameDraw", "MonitorFrame", "True", ItemKind::Boolean},
    {"MFPositionLT", "MonitorFrame", "True", ItemKind::Boolean},
    {"MFPositionLB", "MonitorFrame", "False", ItemKind::Boolean},
    {"MFPositionRT", "MonitorFrame", "False", ItemKind::Boolean},
    {"MFPositionRB", "MonitorFrame", "False", ItemKind::Boolean},
    {"MFPositionCenter", "MonitorFrame", "False", ItemKind::Boolean},
    {"MFSZ1", "MonitorFrame", "True", ItemKind::Boolean},
    {"MFSZ2", "MonitorFrame", "True", ItemKind::Boolean},
    {"MFSZ3", "MonitorFrame", "True", ItemKind::Boolean},
    {"MFSZ4", "MonitorFrame", "True", ItemKind::Boolean},
    {"MFSZ5", "MonitorFrame", "True", ItemKind::Boolean},
    {"MFSZ6", "MonitorFrame", "True", ItemKind::Boolean},
    {"MFSZFree", "MonitorFrame", "False", ItemKind::Boolean},
    {"MFSZFWidth", "MonitorFrame", "0", ItemKind::Integer},
    {"MFSZFHeight", "MonitorFrame", "0", ItemKind::Integer},
    {"MFSZFCmnt", "MonitorFrame", "", ItemKind::Text},
    {"MFColor", "MonitorFrame", "16777215", ItemKind::Integer},
    {"MFFont", "MonitorFrame", "", ItemKind::Font},
    {"SIUserDraw", "SystemInfo", "True", ItemKind::Boolean},
    {"SIUserLabel", "SystemInfo", texts::kUserLabel, ItemKind::Text},
    {"SIUserLeft", "SystemInfo", "810", ItemKind::Integer},
    {"SIUserTop", "SystemInfo", "610", ItemKind::Integer},
    {"SIUserFont", "SystemInfo", "", ItemKind::Font},
    {"SICompDraw", "SystemInfo", "True", ItemKind::Boolean},
    {"SICompLabel", "SystemInfo", texts::kComputerLabel, ItemKind::Text},
    {"SICompLeft", "SystemInfo", "810", ItemKind::Integer},
    {"SICompTop", "SystemInfo", "630", ItemKind::Integer},
    {"SICompFont", "SystemInfo", "", ItemKind::Font},
    {"SIIPAddrDraw", "SystemInfo", "True", ItemKind::Boolean},
    {"SIIPAddrLabel", "SystemInfo", texts::kIPAddressLabel, ItemKind::Text},
    {"SIIPAddrLeft", "SystemInfo", "810", ItemKind::Integer},
    {"SIIPAddrTop", "SystemInfo", "650", ItemKind::Integer},
    {"SIIPAddrFont", "SystemInfo", "", ItemKind::Font},
    {"FreeMessageDraw", "FreeMessage", "False", ItemKind::Boolean},
    {"FMFileDir", "FreeMessage", "", ItemKind::Text, ItemWriter::ItsPart},
    {"FMCheckFile", "FreeMessage", "False", ItemKind::Boolean},
    {"FMFile", "FreeMessage", "", ItemKind::Text},
    {"FMCheckInput", "FreeMessage", "True", ItemKind::Boolean},
    {"FMInput", "FreeMessage", "", ItemKind::Strings},
    {"FMLineInterval", "FreeMessage", "0", ItemKind::Integer},
    {"FMFont", "FreeMessage", "", ItemKind::Font},
    {"FMLeft", "FreeMessage", "0", ItemKind::Integer},
    {"FMTop", "FreeMessage", "0", ItemKind::Integer},
    {"AEECmdDir", "AppExecEnt", "", ItemKind::Text, ItemWriter::ItsPart},
    {"AEETmpDir", "AppExecEnt", "", ItemKind::Text, ItemWriter::ItsPart},
    {"AEBStat", "AppExec", "", ItemKind::ListControl},
    {"AEBCmd", "AppExec", "", ItemKind::ListControl},
    {"AEBCmdParam", "AppExec", "", ItemKind::ListControl},
    {"AEBTmpDir", "AppExec", "", ItemKind::ListControl},
    {"AEBSTNormal", "AppExec", "", ItemKind::ListControl},
    {"AEBSTMin", "AppExec", "", ItemKind::ListControl},
    {"AEBSTMax", "AppExec", "", ItemKind::ListControl},
    {"AEBWTWait", "AppExec", "", ItemKind::ListControl},
    {"AEBWTNoWait", "AppExec", "", ItemKind::ListControl},
    {"AEBWTNoWaitSec", "AppExec", "", ItemKind::ListControl},
    {"AEAStat", "AppExec", "", ItemKind::ListControl},
    {"AEACmd", "AppExec", "", ItemKind::ListControl},
    {"AEACmdParam", "AppExec", "", ItemKind::ListControl},
    {"AEATmpDir", "AppExec", "", ItemKind::ListControl},
    {"AEASTNormal", "AppExec", "", ItemKind::ListControl},
    {"AEASTMin", "AppExec", "", ItemKind::ListControl},
    {"AEASTMax", "AppExec", "", ItemKind::ListControl},
    {"AEAWTWait", "AppExec", "", ItemKind::ListControl},
    {"AEAWTNoWait", "AppExec", "", ItemKind::ListControl},
    {"AEAWTNoWaitSec", "AppExec", "", ItemKind::ListControl},
}};

// The name of a settings item, looked up while compiling, for the parts that read and write
// their own items: a name the table lacks does not compile.
consteval const char* settingsItemName(std::string_view name) {
    for (const SettingsItem& item : kSettingsItems) {
        if (name == item.name)
            return item.name;
    }
    throw "no settings item has this name"; // ends the compilation here
}

// Makes the items of kSettingsItems the manager's items.
void fillSettingsSchema(TRegItems& items);

// The draw-sequence list as the program ships it: its place on the window and the three items
// in their first order. Its stream is what a first save stores as "DrawSeq".
ListControlDescription shippedDrawSequence();

} // namespace zbpg
