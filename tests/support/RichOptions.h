#pragma once

#include "options/Options.h"

namespace zbpg::test {

// Every option away from its factory value, with lists the load can rebuild its rows from.
inline Options richOptions() {
    Options o = factoryOptions();
    o.window = {12, -34};
    o.drawing.method.down = {false, true};
    o.drawing.drawSeq.lines = {"任意表示", "画面サイズ", "システム情報"};
    o.drawing.startUpWaitSec = 25;
    o.wallpaper.draw = true;
    o.wallpaper.subFolder = false;
    o.wallpaper.position.down = {false, false, true};
    o.wallpaper.order.down = {false, true};
    o.wallpaper.stat.lines = {"1", "0"};
    o.wallpaper.file.lines = {"/pictures/a.jpg", "/home/zoë/Bilder"};
    o.wallpaper.rows = {{"/pictures/a.jpg", true}, {"/home/zoë/Bilder", false}};
    o.monitorFrame.draw = false;
    o.monitorFrame.anchor.down = {false, false, false, true, false};
    o.monitorFrame.sizes = {true, false, true, true, false, true};
    o.monitorFrame.freeSize = true;
    o.monitorFrame.freeWidth = 1000;
    o.monitorFrame.freeHeight = 700;
    o.monitorFrame.comment = " 試験 = ; \"x\" ";
    o.monitorFrame.color = 0x00FF8000;
    o.monitorFrame.font = {"IPAGothic", -20, 0x0000FF, kFontItalic | kFontUnderline, 128};
    o.line(SystemInfoLine::User) = {false, "", 5, 6, {"IPAPGothic", -16, 0x00FF00, 8, 128}};
    o.line(SystemInfoLine::Computer).label = "Host:";
    o.line(SystemInfoLine::Computer).left = 1023;
    o.line(SystemInfoLine::IPAddress).top = 767;
    o.freeMessage.draw = true;
    o.freeMessage.source.down = {true, false};
    o.freeMessage.file = "/home/zoë/message.txt";
    o.freeMessage.input = {"一行目", "", "  三行目  "};
    o.freeMessage.lineInterval = 4;
    o.freeMessage.left = 100;
    o.freeMessage.top = 200;
    for (const AppList which : {AppList::Before, AppList::After}) {
        auto& list = o.appList(which);
        const std::vector<std::string> entry{
            "1", "/usr/bin/true", "--flag \"quoted\"", "/tmp", "1", "0", "0", "0", "1", "3"};
        for (std::size_t i = 0; i < entry.size(); ++i)
            list.fields[i].lines = {entry[i]};
        list.rows = {{"/usr/bin/true", true}};
    }
    return o;
}

} // namespace zbpg::test
