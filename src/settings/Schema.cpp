#include "settings/Schema.h"

#include "text/Texts.h"

#include <array>

namespace zbpg {
namespace {

struct SchemaEntry {
    const char* name; // also the key
    const char* section;
    const char* defaultValue;
};

constexpr std::array<SchemaEntry, 83> kSchema{{
    {"Left", "System", "0"},
    {"Top", "System", "0"},
    {"DrawTypeOverwrite", "Application", "True"},
    {"DrawTypeRewrite", "Application", "False"},
    {"DrawSeq", "Application", ""},
    {"StartUpWaitSec", "Application", "0"},
    {"WallpaperDraw", "Wallpaper", "False"},
    {"WPSubFolder", "Wallpaper", "True"},
    {"WPPCenter", "Wallpaper", "True"},
    {"WPPEnum", "Wallpaper", "False"},
    {"WPPSpread", "Wallpaper", "False"},
    {"WPSRandom", "Wallpaper", "True"},
    {"WPSSeq", "Wallpaper", "False"},
    {"WPFileDir", "Wallpaper", ""},
    {"WPFilterIdx", "Wallpaper", "1"},
    {"WPStat", "Wallpaper", ""},
    {"WPFile", "Wallpaper", ""},
    {"WPPaintIdx", "Wallpaper", "-1"},
    {"MonitorFrameDraw", "MonitorFrame", "True"},
    {"MFPositionLT", "MonitorFrame", "True"},
    {"MFPositionLB", "MonitorFrame", "False"},
    {"MFPositionRT", "MonitorFrame", "False"},
    {"MFPositionRB", "MonitorFrame", "False"},
    {"MFPositionCenter", "MonitorFrame", "False"},
    {"MFSZ1", "MonitorFrame", "True"},
    {"MFSZ2", "MonitorFrame", "True"},
    {"MFSZ3", "MonitorFrame", "True"},
    {"MFSZ4", "MonitorFrame", "True"},
    {"MFSZ5", "MonitorFrame", "True"},
    {"MFSZ6", "MonitorFrame", "True"},
    {"MFSZFree", "MonitorFrame", "False"},
    {"MFSZFWidth", "MonitorFrame", "0"},
    {"MFSZFHeight", "MonitorFrame", "0"},
    {"MFSZFCmnt", "MonitorFrame", ""},
    {"MFColor", "MonitorFrame", "16777215"},
    {"MFFont", "MonitorFrame", ""},
    {"SIUserDraw", "SystemInfo", "True"},
    {"SIUserLabel", "SystemInfo", texts::kUserLabel},
    {"SIUserLeft", "SystemInfo", "810"},
    {"SIUserTop", "SystemInfo", "610"},
    {"SIUserFont", "SystemInfo", ""},
    {"SICompDraw", "SystemInfo", "True"},
    {"SICompLabel", "SystemInfo", texts::kComputerLabel},
    {"SICompLeft", "SystemInfo", "810"},
    {"SICompTop", "SystemInfo", "630"},
    {"SICompFont", "SystemInfo", ""},
    {"SIIPAddrDraw", "SystemInfo", "True"},
    {"SIIPAddrLabel", "SystemInfo", texts::kIPAddressLabel},
    {"SIIPAddrLeft", "SystemInfo", "810"},
    {"SIIPAddrTop", "SystemInfo", "650"},
    {"SIIPAddrFont", "SystemInfo", ""},
    {"FreeMessageDraw", "FreeMessage", "False"},
    {"FMFileDir", "FreeMessage", ""},
    {"FMCheckFile", "FreeMessage", "False"},
    {"FMFile", "FreeMessage", ""},
    {"FMCheckInput", "FreeMessage", "True"},
    {"FMInput", "FreeMessage", ""},
    {"FMLineInterval", "FreeMessage", "0"},
    {"FMFont", "FreeMessage", ""},
    {"FMLeft", "FreeMessage", "0"},
    {"FMTop", "FreeMessage", "0"},
    {"AEECmdDir", "AppExecEnt", ""},
    {"AEETmpDir", "AppExecEnt", ""},
    {"AEBStat", "AppExec", ""},
    {"AEBCmd", "AppExec", ""},
    {"AEBCmdParam", "AppExec", ""},
    {"AEBTmpDir", "AppExec", ""},
    {"AEBSTNormal", "AppExec", ""},
    {"AEBSTMin", "AppExec", ""},
    {"AEBSTMax", "AppExec", ""},
    {"AEBWTWait", "AppExec", ""},
    {"AEBWTNoWait", "AppExec", ""},
    {"AEBWTNoWaitSec", "AppExec", ""},
    {"AEAStat", "AppExec", ""},
    {"AEACmd", "AppExec", ""},
    {"AEACmdParam", "AppExec", ""},
    {"AEATmpDir", "AppExec", ""},
    {"AEASTNormal", "AppExec", ""},
    {"AEASTMin", "AppExec", ""},
    {"AEASTMax", "AppExec", ""},
    {"AEAWTWait", "AppExec", ""},
    {"AEAWTNoWait", "AppExec", ""},
    {"AEAWTNoWaitSec", "AppExec", ""},
}};

} // namespace

void fillSettingsSchema(TRegItems& items) {
    for (const auto& entry : kSchema)
        items.Add(TRegItem(entry.name, entry.section, entry.name, entry.defaultValue));
}

ListControlDescription shippedDrawSequence() {
    ListControlDescription list;
    list.name = "ListBoxDrawSeq";
    list.left = 16;
    list.top = 40;
    list.width = 145;
    list.height = 49;
    list.itemHeight = 12;
    list.tabOrder = 0;
    list.lines = {texts::kScreenSizeItem, texts::kSystemInfoItem, texts::kFreeMessageItem};
    return list;
}

} // namespace zbpg
