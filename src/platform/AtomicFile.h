#pragma once

#include <optional>
#include <string>

namespace zbpg::platform {

// Holds an advisory lock on a file's folder while a read-modify-write of that file runs, so
// that two processes of the program never lose each other's changes. Locking the folder
// rather than the file survives the file being replaced by a rename. Locks of the same folder
// taken inside one another in this process share the one lock.
class FolderLock final {
public:
    explicit FolderLock(const std::string& filePath);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    std::string m_folder;
};

// The whole content of a file, or nothing when it cannot be read (missing included).
[[nodiscard]] std::optional<std::string> readWholeFile(const std::string& path);

bool fileExists(const std::string& path);

// Replaces a file's content as a whole: a temporary file in the same folder, then a rename,
// so that a reader or a crash never sees a half-written file. A symbolic link is followed and
// its target replaced; the old file's permissions are kept. Returns false on any failure,
// leaving the old file as it was.
[[nodiscard]] bool writeFileAtomically(const std::string& path, const std::string& content);

// A file whose owner write bit is cleared counts as read-only, also for root, so that a file
// the user protected is never replaced.
bool isReadOnlyFile(const std::string& path);

// Creates a folder and its missing parents; true when it exists afterwards.
[[nodiscard]] bool makeFolders(const std::string& path);

std::string parentFolder(const std::string& path);

} // namespace zbpg::platform
