#pragma once

#include "app/Program.h"
#include "controls/EditUpDown.h"
#include "support/RecordingDialogService.h"
#include "support/RecordingMessageService.h"
#include "support/TempFolder.h"
#include "ui/Main.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace zbpg::test {

// A settings window prepared as the program prepares it, on a 1024 by 768 screen, with its
// settings file, help page and Startup link in a temporary folder and every dialog recorded.
class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture() { open(); }

    void open() {
        window = std::make_unique<TFormMain>();
        prepareMainWindow(*window, files());
    }

    // A fresh window on the same files, as at the next start of the program.
    void reopen() {
        window.reset();
        open();
    }

    ProgramFiles files() const {
        return {folder.file("ZorbelPaneglyph"), folder.file("ZorbelPaneglyph.ini"),
                folder.file("help/index.html"), folder.file("autostart/ZorbelPaneglyph.desktop"),
                folder.file("ZorbelPaneglyphTmp.bmp")};
    }

    std::string iniPath() const { return files().iniFile; }
    std::string iniText() const { return readFile(iniPath()); }
    bool applyEnabled() const { return window->ButtonSave->isEnabled(); }

    RecordingMessageService messages;
    RecordingDialogService dialogs;
    FakeDesktopService desktop{1024, 768};
    TempFolder folder;
    std::unique_ptr<TFormMain> window;
};

} // namespace zbpg::test
