#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace zbpg::test {
namespace {

// TMPDIR when it is set; else the machine's memory file system where it has one: every
// settings save is synced to the disk, and hundreds of test processes saving settings would
// spend seconds waiting for the disk; else /tmp.
std::string temporaryBase() {
    if (const char* base = std::getenv("TMPDIR"); base != nullptr && *base != '\0')
        return base;
    if (::access("/dev/shm", W_OK | X_OK) == 0 && std::filesystem::is_directory("/dev/shm"))
        return "/dev/shm";
    return "/tmp";
}

} // namespace

TempFolder::TempFolder() : m_owner(::getpid()) {
    std::string pattern = temporaryBase() + "/zbpg-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
}

TempFolder::~TempFolder() {
    if (::getpid() != m_owner)
        return;
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace zbpg::test
