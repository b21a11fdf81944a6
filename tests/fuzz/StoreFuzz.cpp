// libFuzzer target for the two stores (scripts/fuzz-stores.sh builds and runs it): any bytes as
// an INI file or a registry file. A value written to the file reads back, every other value
// reads as before, and nothing the sanitizers watch goes wrong. What it finds becomes a row of
// DamagedFileTest (tests/platform/store/StoreSessionTest.cpp).

#include "base/Error.h"
#include "platform/store/ProfileFile.h"
#include "platform/store/Registry.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace zbpg::platform;

// In memory: every write is synced to the disk. A plain array, so that it outlives every
// destructor and is there for the removal at exit.
char g_folder[] = "/dev/shm/zbpg-fuzz-XXXXXX";

// The folder with whatever the stores left there (their lock, a temporary file).
void removeFolder() {
    std::filesystem::remove_all(g_folder);
}

const std::string& filePath() {
    static const std::string path = [] {
        if (::mkdtemp(g_folder) == nullptr)
            std::abort();
        std::atexit(removeFolder);
        return std::string(g_folder) + "/settings";
    }();
    return path;
}

constexpr std::array<const char*, 3> kGroups = {"S", "s\\T", ""};
constexpr std::array<const char*, 3> kNames = {"a", "B", "k"};

// The values of the names in the groups, one a line, through one session.
std::string readAll(bool ini) {
    std::string values;
    if (ini) {
        const ProfileSession session = ProfileFile(filePath()).openForRead();
        for (const char* group : kGroups) {
            for (const char* name : kNames)
                values += session.read(group, name, "-") + '\n';
        }
        return values;
    }
    const RegistrySession session = Registry(filePath()).openForRead();
    for (const char* group : kGroups) {
        for (const char* name : kNames) {
            const auto value = session.readValue(group, name);
            values += value ? std::to_string(static_cast<int>(value->type)) + value->text +
                                  std::to_string(value->bytes.size()) + std::to_string(value->dword)
                            : "-";
            values += '\n';
        }
    }
    return values;
}

bool writeValue(bool ini) {
    if (ini)
        return ProfileFile(filePath()).write("S", "k", "new");
    return Registry(filePath()).writeValue("S", "k", RegValue::string("new"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const bool ini = (data[0] & 1) != 0;
    std::ofstream(filePath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    try {
        std::string expected = readAll(ini);
        if (!writeValue(ini))
            std::abort(); // an ASCII text fits every file
        const std::string after = readAll(ini);
        // The value written is the third of the first group's.
        const std::size_t start = expected.find('\n', expected.find('\n') + 1) + 1;
        expected.replace(start, expected.find('\n', start) - start, ini ? "new" : "0new00");
        if (after != expected) {
            std::fprintf(stderr, "before the write, then after:\n%s\n%s", expected.c_str(),
                         after.c_str());
            std::abort();
        }
    } catch (const zbpg::Error&) {
        std::abort(); // a regular file is always read
    }
    return 0;
}
