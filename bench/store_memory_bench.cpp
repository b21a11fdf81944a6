// One session of a settings store over a file, for its peak memory under `/usr/bin/time -f %M`:
//   store_memory_bench ini <file>        the settings loaded and saved as the window does it
//   store_memory_bench registry <file>   one value of the file's first key read, one written
//   store_memory_bench make <file> <MB>  writes an INI file of that size in short key lines

#include "options/OptionsStore.h"
#include "platform/store/ProfileFile.h"
#include "platform/store/Registry.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr, "usage: store_memory_bench ini|registry <file> | make <file> <MB>\n");
    return 2;
}

// Sections of 100 keys "k<n>=v<n>", as short as settings lines come.
void makeIniFile(const std::string& path, long megabytes) {
    std::ofstream out(path, std::ios::binary);
    const long bytes = megabytes << 20;
    for (long written = 0, line = 0; written < bytes; ++line) {
        std::string text;
        if (line % 100 == 0)
            text = "[S" + std::to_string(line / 100) + "]\r\n";
        text += "k" + std::to_string(line) + "=v\r\n";
        out << text;
        written += static_cast<long>(text.size());
    }
}

int loadAndSaveSettings(const std::string& path) {
    zbpg::TRegManager settings;
    zbpg::openSettings(settings, path);
    zbpg::Options options = zbpg::factoryOptions();
    const auto messages = zbpg::loadOptions(settings, options, {1920, 1080});
    zbpg::saveOptions(settings, options);
    std::printf("%zu messages\n", messages.size());
    return 0;
}

int readAndWriteRegistryValue(const std::string& path) {
    const zbpg::platform::Registry registry(path);
    auto session = registry.openForUpdate();
    const auto value = session.readValue("Control Panel\\Desktop", "Wallpaper");
    session.writeValue("Control Panel\\Desktop", "Wallpaper",
                       zbpg::platform::RegValue::string(value ? value->text + "x" : "x"));
    return session.commit() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return usage();
    const std::string mode = argv[1];
    if (mode == "make" && argc == 4) {
        makeIniFile(argv[2], std::atol(argv[3]));
        return 0;
    }
    if (mode == "ini")
        return loadAndSaveSettings(argv[2]);
    if (mode == "registry")
        return readAndWriteRegistryValue(argv[2]);
    return usage();
}
