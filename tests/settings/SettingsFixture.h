#pragma once

#include "settings/RegMng.h"
#include "support/RecordingMessageService.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace zbpg::test {

// A manager on an INI file in a temporary folder, with message boxes recorded.
class SettingsFixture : public ::testing::Test {
protected:
    SettingsFixture() {
        manager.SetRegType(rtIni);
        manager.SetIniFileName(iniPath);
    }

    TRegItem& addItem(const std::string& name, const std::string& section,
                      const std::string& defaultValue = {}) {
        return manager.RegItems().Add(TRegItem(name, section, name, defaultValue));
    }

    std::string iniText() const { return readFile(iniPath); }

    RecordingMessageService messages;
    TempFolder folder;
    std::string iniPath = folder.file("ZorbelPaneglyph.ini");
    TRegManager manager;
};

} // namespace zbpg::test
