#include "settings/HexLines.h"
#include "settings/Schema.h"
#include "settings/SettingsFixture.h"

#include <filesystem>

namespace zbpg {
namespace {

using test::writeFile;

class StreamStorageTest : public test::SettingsFixture {
protected:
    StreamStorageTest() {
        addItem("DrawSeq", "Application");
        addItem("WPStat", "Wallpaper");
        addItem("Blob", "Data");
    }

    static std::vector<std::uint8_t> counting(std::size_t size) {
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<std::uint8_t>(i);
        return bytes;
    }

    std::vector<std::uint8_t> readBlob() {
        std::vector<std::uint8_t> bytes;
        manager.ItemFiler("Blob").ReadStream(bytes);
        return bytes;
    }
};

TEST_F(StreamStorageTest, TheShippedDrawSequenceIsStoredAsItsFiveHexLines) {
    manager.ItemFiler("DrawSeq").WriteComponent(shippedDrawSequence());
    EXPECT_EQ(iniText(),
              "[Application]\r\n"
              "DrawSeq_c=5\r\n"
              "DrawSeq_d0=5450463008544C697374426F780E4C697374426F7844726177536571044C6566\r\n"
              "DrawSeq_d1=74021003546F7002280557696474680391000648656967687402310A4974656D\r\n"
              "DrawSeq_d2=486569676874020C0D4974656D732E537472696E677301060A89E696CA835483\r\n"
              "DrawSeq_d3=438359060C83568358836583808FEE95F10608944388D3955C8EA60008546162\r\n"
              "DrawSeq_d4=4F726465720200000000\r\n");
    ListControlDescription read = shippedDrawSequence();
    read.lines.clear();
    manager.ItemFiler("DrawSeq").ReadComponent(read);
    EXPECT_EQ(read, shippedDrawSequence());
}

TEST_F(StreamStorageTest, LinesHold32BytesAndTheLastOneTheRest) {
    manager.ItemFiler("Blob").WriteStream(counting(64));
    EXPECT_EQ(test::readFile(iniPath).find("Blob_d2"), std::string::npos);
    EXPECT_NE(iniText().find("Blob_c=2\r\n"), std::string::npos);
    manager.ItemFiler("Blob").WriteStream(counting(65));
    EXPECT_NE(iniText().find("Blob_c=3\r\n"), std::string::npos);
    EXPECT_NE(iniText().find("Blob_d2=40\r\n"), std::string::npos);
    EXPECT_EQ(readBlob(), counting(65));
}

TEST_F(StreamStorageTest, AShorterOrEmptyStreamLeavesNoOldLines) {
    manager.ItemFiler("Blob").WriteStream(counting(100));
    manager.ItemFiler("Blob").WriteStream(counting(10));
    EXPECT_EQ(iniText(), "[Data]\r\nBlob_c=1\r\nBlob_d0=00010203040506070809\r\n");
    manager.ItemFiler("Blob").WriteStream({});
    EXPECT_EQ(iniText(), "[Data]\r\n");
    EXPECT_TRUE(readBlob().empty());
}

TEST_F(StreamStorageTest, ReadingAppendsToWhatTheStreamHolds) {
    manager.ItemFiler("Blob").WriteStream({1, 2});
    std::vector<std::uint8_t> bytes{9};
    manager.ItemFiler("Blob").ReadStream(bytes);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{9, 1, 2}));
}

TEST_F(StreamStorageTest, OddAndNonHexLinesDecodeLikeIntegerText) {
    std::vector<std::uint8_t> bytes;
    decodeHexLine("0A1", bytes);
    decodeHexLine("ZZff", bytes);
    decodeHexLine("1Zz9", bytes);
    decodeHexLine("A", bytes);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x0A, 0x01, 0x00, 0xFF, 0x00, 0x00, 0x0A}));
    writeFile(iniPath, "[Data]\nBlob_c=2\nBlob_d0=0102\nBlob_d1=F\n");
    EXPECT_EQ(readBlob(), (std::vector<std::uint8_t>{1, 2, 0x0F}));
}

TEST_F(StreamStorageTest, AControlWithoutStoredStreamKeepsItsContent) {
    ListControlDescription list = shippedDrawSequence();
    manager.ItemFiler("DrawSeq").ReadComponent(list);
    EXPECT_EQ(list, shippedDrawSequence());
    EXPECT_FALSE(std::filesystem::exists(iniPath));
}

TEST_F(StreamStorageTest, AnUndecodableStreamLeavesTheControlUnchangedSilently) {
    writeFile(iniPath, "[Application]\nDrawSeq_c=1\nDrawSeq_d0=5450463108544C697374426F78\n");
    ListControlDescription list = shippedDrawSequence();
    manager.ItemFiler("DrawSeq").ReadComponent(list);
    EXPECT_EQ(list, shippedDrawSequence());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StreamStorageTest, HiddenListsKeepTheirLayoutAndTexts) {
    ListControlDescription status;
    status.name = "ListBoxWPStat";
    status.left = 16;
    status.top = 16;
    status.width = 121;
    status.height = 97;
    status.itemHeight = 12;
    status.tabOrder = 1;
    status.visible = false;
    status.lines = {"1", "0", std::string(300, 'x'), "/home/zoë/Bilder"};
    manager.ItemFiler("WPStat").WriteComponent(status);
    ListControlDescription read;
    read.name = "ListBoxWPStat";
    manager.ItemFiler("WPStat").ReadComponent(read);
    EXPECT_EQ(read, status);
}

TEST_F(StreamStorageTest, TheRegistryKeepsAStreamAsOneBinaryValue) {
    manager.SetRegType(rtReg);
    manager.SetRegDir("Software\\ZorbelPaneglyph");
    manager.ItemFiler("Blob").WriteStream(counting(70));
    EXPECT_EQ(readBlob(), counting(70));
    const auto value =
        platform::Registry::currentUser().readValue("Software\\ZorbelPaneglyph\\Data", "Blob");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, platform::RegValueType::Binary);
    EXPECT_EQ(value->bytes, counting(70));
}

TEST_F(StreamStorageTest, AnUnusableStoreReportsOnceAndReadsNothing) {
    manager.SetIniFileName("");
    ListControlDescription list = shippedDrawSequence();
    manager.ItemFiler("DrawSeq").ReadComponent(list);
    EXPECT_EQ(list, shippedDrawSequence());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "can not create Inifile object.");
}

} // namespace
} // namespace zbpg
