#pragma once

#include <string>
#include <sys/types.h>

namespace zbpg::test {

// A fresh folder below the system's temporary folder, removed with everything in it by the
// process that made it (never by a forked child that ends).
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
    pid_t m_owner;
};

// Writes bytes to a file, replacing it; reads a whole file ("" when missing).
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

} // namespace zbpg::test
