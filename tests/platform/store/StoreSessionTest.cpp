// What the INI file and the registry file share: how they are opened, locked and read, and
// the rules of the lines they keep.

#include "HeapUse.h"
#include "base/Error.h"
#include "platform/os/AtomicFile.h"
#include "platform/store/ProfileFile.h"
#include "platform/store/Registry.h"
#include "platform/store/StoreFile.h"
#include "support/TempFolder.h"
#include "text/Texts.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace zbpg::platform {
namespace {

using test::readFile;
using test::writeFile;

enum class Store { Ini, Registry };

constexpr const char* kKey = "Software\\Test";

std::string storeName(const ::testing::TestParamInfo<Store>& info) {
    return info.param == Store::Ini ? "Ini" : "Registry";
}

void openForRead(Store store, const std::string& path) {
    if (store == Store::Ini)
        (void)ProfileFile(path).openForRead();
    else
        (void)Registry(path).openForRead();
}

bool writeOneValue(Store store, const std::string& path, const std::string& value) {
    if (store == Store::Ini)
        return ProfileFile(path).write("S", "k", value);
    return Registry(path).writeValue(kKey, "k", RegValue::string(value));
}

std::string readOneValue(Store store, const std::string& path, const std::string& name) {
    if (store == Store::Ini)
        return ProfileFile(path).read("S", name, "none");
    const auto value = Registry(path).readValue(kKey, name);
    return value ? value->text : "none";
}

bool removeOneValue(Store store, const std::string& path, const std::string& name) {
    if (store == Store::Ini)
        return ProfileFile(path).remove("S", name);
    auto session = Registry(path).openForUpdate();
    return session.deleteValue(kKey, name) && session.commit();
}

// Runs check while an update session on the file is open, then writes one value through it.
bool updateWhile(Store store, const std::string& path, const std::function<void()>& check) {
    if (store == Store::Ini) {
        auto session = ProfileFile(path).openForUpdate();
        check();
        session.write("S", "k", "v");
        return session.commit();
    }
    auto session = Registry(path).openForUpdate();
    check();
    session.writeValue(kKey, "k", RegValue::string("v"));
    return session.commit();
}

class StoreSessionTest : public ::testing::TestWithParam<Store> {
protected:
    test::TempFolder folder;
    std::string path = folder.file(GetParam() == Store::Ini ? "ZorbelPaneglyph.ini" : "user.reg");
};

// ---- The lines ----

// Of a section or key named twice, the profile functions read the first, the export format
// every header and the last line it understands; removing a value removes only the line read
// in the first, every line of the name in the second.
TEST_P(StoreSessionTest, RepeatedNamesFollowTheFormatsOwnRule) {
    const bool ini = GetParam() == Store::Ini;
    writeFile(path, ini ? "[S]\r\nk=first\r\nk=second\r\n[s]\r\nj=later\r\n"
                        : "[HKEY_CURRENT_USER\\Software\\Test]\r\n\"k\"=\"first\"\r\n"
                          "\"k\"=\"second\"\r\n\"k\"=hex(b):00\r\n"
                          "[HKEY_CURRENT_USER\\software\\test]\r\n\"j\"=\"later\"\r\n");
    EXPECT_EQ(readOneValue(GetParam(), path, "k"), ini ? "first" : "second");
    EXPECT_EQ(readOneValue(GetParam(), path, "J"), ini ? "none" : "later");
    ASSERT_TRUE(removeOneValue(GetParam(), path, "K"));
    EXPECT_EQ(readOneValue(GetParam(), path, "k"), ini ? "second" : "none");
}

// A line whose bytes decode in neither form keeps them while the file changes its form.
TEST_P(StoreSessionTest, UndecodableLinesKeepTheirBytesThroughBothEncodings) {
    const bool ini = GetParam() == Store::Ini;
    const std::string head = ini ? "[S]\r\n" : "[HKEY_CURRENT_USER\\Software\\Test]\r\n";
    const std::string undecodable = "\x81\x20 neither CP932 nor UTF-8\r\n";
    const auto valueLine = [ini](const std::string& value) {
        return (ini ? "k=" + value : "\"k\"=\"" + value + "\"") + "\r\n";
    };
    writeFile(path, head + undecodable);
    ASSERT_TRUE(writeOneValue(GetParam(), path, "zoë"));
    EXPECT_EQ(readFile(path), "\xEF\xBB\xBF" + head + undecodable + valueLine("zoë"));
    ASSERT_TRUE(writeOneValue(GetParam(), path, "zoe"));
    EXPECT_EQ(readFile(path), head + undecodable + valueLine("zoe"));
}

// ---- Damaged files found by fuzzing ----

struct DamagedFile {
    const char* name;
    Store store;
    std::string content;
};

void PrintTo(const DamagedFile& file, std::ostream* out) {
    *out << file.name;
}

class DamagedFileTest : public ::testing::TestWithParam<DamagedFile> {
protected:
    test::TempFolder folder;
    std::string path = folder.file("settings");
};

// Whatever a file holds, a value written to it reads back, and every other value reads as it
// did before.
TEST_P(DamagedFileTest, AWrittenValueReadsBackAndTheOthersKeepTheirs) {
    const DamagedFile& file = GetParam();
    writeFile(path, file.content);
    const auto others = [&] {
        return std::vector{readOneValue(file.store, path, "a"),
                           readOneValue(file.store, path, "b")};
    };
    const auto before = others();
    ASSERT_TRUE(writeOneValue(file.store, path, "new"));
    EXPECT_EQ(readOneValue(file.store, path, "k"), "new") << readFile(path);
    EXPECT_EQ(others(), before) << readFile(path);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DamagedFileTest,
    ::testing::Values(
        // The last line goes on in a next line that is not there.
        DamagedFile{"RegistryEndingInAContinuation", Store::Registry,
                    "[HKEY_CURRENT_USER\\Software\\Test]\n\"a\"=\"1\"\\"},
        DamagedFile{"RegistryEndingInAContinuationAndALineBreak", Store::Registry,
                    "[HKEY_CURRENT_USER\\Software\\Test]\r\n\"b\"=hex:01,\\\r\n"},
        // A line break after it would make its last CR part of the line's end.
        DamagedFile{"IniEndingInACarriageReturn", Store::Ini, "[S]\na=1\r"},
        DamagedFile{"RegistryEndingInACarriageReturn", Store::Registry,
                    "[HKEY_CURRENT_USER\\Software\\Test]\n\"a\"=\"1\"\r"},
        // Not UTF-8, so no header in a file with the mark; a header in code page 932.
        DamagedFile{"Utf8IniWithAHeaderInCp932", Store::Ini,
                    "\xEF\xBB\xBF[S]\r\na=1\r\n[B\x82\xA0]\r\nb=2\r\n"},
        DamagedFile{"Utf8RegistryWithAHeaderInCp932", Store::Registry,
                    "\xEF\xBB\xBF[HKEY_CURRENT_USER\\Software\\Test]\r\n\"a\"=\"1\"\r\n"
                    "[HKEY_CURRENT_USER\\\x82\xA0]\r\n\"b\"=\"2\"\r\n"}),
    [](const ::testing::TestParamInfo<DamagedFile>& input) { return input.param.name; });

// ---- What cannot be read is an error, and is never replaced ----

enum class Obstacle { Folder, Fifo, LinkLoop, TooLarge, WriteOnly };

class UnreadableStoreTest : public ::testing::TestWithParam<std::tuple<Store, Obstacle>> {
protected:
    test::TempFolder folder;
    std::string path = folder.file("settings");
};

struct Identity {
    ino_t inode = 0;
    mode_t mode = 0;
    off_t size = 0;
    bool operator==(const Identity&) const = default;
};

Identity identityOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return {info.st_ino, info.st_mode, info.st_size};
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

TEST_P(UnreadableStoreTest, IsAnErrorNamingTheFileAndIsNeverReplaced) {
    const auto [store, obstacle] = GetParam();
    switch (obstacle) {
    case Obstacle::Folder:
        std::filesystem::create_directory(path);
        break;
    case Obstacle::Fifo:
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        break;
    case Obstacle::LinkLoop:
        std::filesystem::create_symlink(path, path);
        break;
    case Obstacle::TooLarge: // sparse: costs no disk
        writeFile(path, "");
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kMaxStoreFileBytes + 1)), 0);
        break;
    case Obstacle::WriteOnly:
        if (::geteuid() == 0)
            GTEST_SKIP() << "root reads a file of mode 0200; the other obstacles stand for it";
        writeFile(path, "[S]\r\nk=old\r\n");
        ::chmod(path.c_str(), 0200);
        break;
    }
    const Identity before = identityOf(path);
    const std::string expected = formatMessage(texts::kCannotOpenFile, path);
    ::alarm(20); // a FIFO opened for reading would wait for a writer forever
    EXPECT_EQ(errorOf([&] { openForRead(store, path); }), expected);
    EXPECT_EQ(errorOf([&] { (void)writeOneValue(store, path, "new"); }), expected);
    ::alarm(0);
    EXPECT_EQ(identityOf(path), before);
}

std::string obstacleCaseName(const ::testing::TestParamInfo<std::tuple<Store, Obstacle>>& info) {
    static const char* const kObstacles[] = {"Folder", "Fifo", "LinkLoop", "TooLarge", "WriteOnly"};
    return std::string(std::get<0>(info.param) == Store::Ini ? "Ini" : "Registry") +
           kObstacles[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(
    Stores, UnreadableStoreTest,
    ::testing::Combine(::testing::Values(Store::Ini, Store::Registry),
                       ::testing::Values(Obstacle::Folder, Obstacle::Fifo, Obstacle::LinkLoop,
                                         Obstacle::TooLarge, Obstacle::WriteOnly)),
    obstacleCaseName);

// ---- Locking ----

bool folderIsLocked(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}

TEST_P(StoreSessionTest, AnUpdateInAMissingFolderCreatesItAndHoldsItsLock) {
    const std::string newFolder = folder.file("new/sub");
    const std::string file = newFolder + "/settings";
    EXPECT_TRUE(updateWhile(GetParam(), file, [&] { EXPECT_TRUE(folderIsLocked(newFolder)); }));
    EXPECT_FALSE(folderIsLocked(newFolder));
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

// ---- Cost ----

// The processor time of this thread: unlike the time on the clock, it does not grow with
// whatever else the machine runs meanwhile.
double cpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A file of n values followed by n blank lines.
struct Workload {
    int n = 0;
    std::string content;
};

Workload workload(Store store, int n) {
    Workload work{n, store == Store::Ini ? "[S]\r\n"
                                         : "Windows Registry Editor Version 5.00\r\n\r\n"
                                           "[HKEY_CURRENT_USER\\Software\\Test]\r\n"};
    for (int i = 0; i < n; ++i) {
        const std::string number = std::to_string(i);
        work.content += store == Store::Ini ? "k" + number + "=" + number + "\r\n"
                                            : "\"k" + number + "\"=\"" + number + "\"\r\n";
    }
    for (int i = 0; i < n; ++i)
        work.content += "\r\n";
    return work;
}

// A session that reads every value of the file, adds as many and commits.
double secondsFor(Store store, const std::string& path, const Workload& work) {
    writeFile(path, work.content);
    const double start = cpuSeconds();
    int found = 0;
    if (store == Store::Ini) {
        auto session = ProfileFile(path).openForUpdate();
        for (int i = 0; i < work.n; ++i) {
            found += session.contains("S", "k" + std::to_string(i));
            session.write("S", "n" + std::to_string(i), "v");
        }
        EXPECT_TRUE(session.commit());
    } else {
        auto session = Registry(path).openForUpdate();
        for (int i = 0; i < work.n; ++i) {
            found += session.readValue(kKey, "k" + std::to_string(i)).has_value();
            session.writeValue(kKey, "n" + std::to_string(i), RegValue::string("v"));
        }
        EXPECT_TRUE(session.commit());
    }
    const double took = cpuSeconds() - start;
    EXPECT_EQ(found, work.n);
    return took;
}

double middle(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

TEST_P(StoreSessionTest, ReadingAndWritingCostsInProportionToTheFile) {
    // Freed memory stays with the process and one run comes first, so that the kernel's time
    // to hand out fresh pages weighs on neither measured size.
    ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 1 << 30);
    const Workload small = workload(GetParam(), 2000);
    const Workload large = workload(GetParam(), 20000);
    (void)secondsFor(GetParam(), path, large);
    // Taken in turns, so that a busy moment of the machine does not fall on one size only.
    std::vector<double> smallTimes;
    std::vector<double> largeTimes;
    for (int run = 0; run < 3; ++run) {
        smallTimes.push_back(secondsFor(GetParam(), path, small));
        largeTimes.push_back(secondsFor(GetParam(), path, large));
    }
    const double smallTime = middle(smallTimes);
    const double largeTime = middle(largeTimes);
    // Ten times the values: about ten times the time, where a quadratic cost gives a hundred.
    EXPECT_LT(largeTime, 30 * smallTime)
        << "2,000 values: " << smallTime << " s, 20,000: " << largeTime << " s";
}

// ---- Memory ----

// Its lines cost a few times the file at most, also while it is written; a line of its own with
// an entry in maps of names cost thirty times a file of short lines.
TEST_P(StoreSessionTest, AFileOfShortLinesCostsAFewTimesItsSizeAtMost) {
    const bool ini = GetParam() == Store::Ini;
    std::string content = ini ? "[S]\r\n" : "[HKEY_CURRENT_USER\\Software\\Test]\r\n";
    for (int i = 0; content.size() < (std::size_t{4} << 20); ++i) {
        const std::string number = std::to_string(i);
        content += ini ? "k" + number + "=v\r\n" : "\"k" + number + "\"=\"\"\r\n";
    }
    writeFile(path, content);
    const std::size_t before = test::heapInUse();
    test::resetHeapPeak();
    EXPECT_TRUE(writeOneValue(GetParam(), path, "new"));
    const auto used = static_cast<double>(test::heapPeak() - before);
    EXPECT_LT(used, 5.0 * static_cast<double>(content.size()))
        << used / static_cast<double>(content.size()) << " times the file";
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreSessionTest, ::testing::Values(Store::Ini, Store::Registry),
                         storeName);

} // namespace
} // namespace zbpg::platform
