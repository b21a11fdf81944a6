#include "rotation/FileList.h"

#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace zbpg {
namespace {

// The walk of one path: the folders it has entered, by device and inode.
class FileWalk final {
public:
    FileWalk(bool skipSubFolders, std::vector<std::string>& found)
        : m_skipSubFolders(skipSubFolders), m_found(found) {}

    void EnumFiles(const std::string& path) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return;
        if (S_ISDIR(info.st_mode))
            enumFolder(path);
        else if (S_ISREG(info.st_mode))
            m_found.push_back(path);
    }

private:
    using Entry = std::pair<std::string, unsigned char>; // the name and the listed type

    // The folder's names are read first and the folder closed before its sub-folders are
    // walked, so a deep tree never holds more than one folder open.
    void enumFolder(const std::string& path) {
        std::vector<Entry> entries;
        if (!listFolder(path, entries))
            return;
        const std::string prefix = path.ends_with('/') ? path : path + "/";
        for (const auto& [name, type] : entries) {
            const std::string child = prefix + name;
            const unsigned char kind = kindOf(child, type);
            if (kind == DT_DIR) {
                if (!m_skipSubFolders)
                    enumFolder(child);
            } else if (kind == DT_REG) {
                m_found.push_back(child);
            }
        }
    }

    // What an entry is, a link followed: the listed type where the file system gives it, else
    // asked of the file; DT_UNKNOWN for a dangling link or an entry gone since it was listed.
    static unsigned char kindOf(const std::string& path, unsigned char listed) {
        if (listed != DT_LNK && listed != DT_UNKNOWN)
            return listed;
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return DT_UNKNOWN;
        return S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
    }

    // The entries of a folder not entered before in this walk; false for one entered already
    // or one that cannot be read.
    bool listFolder(const std::string& path, std::vector<Entry>& entries) {
        DIR* folder = ::opendir(path.c_str());
        if (!folder)
            return false;
        // The identity of what was opened, not of what the path names a moment later.
        struct stat info {};
        const bool fresh = ::fstat(::dirfd(folder), &info) == 0 &&
                           m_entered.insert({info.st_dev, info.st_ino}).second;
        while (fresh) {
            const dirent* entry = ::readdir(folder);
            if (!entry)
                break;
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                entries.emplace_back(name, entry->d_type);
        }
        ::closedir(folder);
        return fresh;
    }

    bool m_skipSubFolders;
    std::vector<std::string>& m_found;
    std::set<std::pair<dev_t, ino_t>> m_entered;
};

} // namespace

void EnumFileList(const std::vector<std::string>& paths, bool skipSubFolders,
                  std::vector<std::string>& found) {
    for (const std::string& path : paths)
        FileWalk(skipSubFolders, found).EnumFiles(path);
}

} // namespace zbpg
