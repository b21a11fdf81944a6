#pragma once

#include <cstddef>
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

    // False when the folder could not be opened or locked (a missing folder, for one): then
    // nothing may be written into it.
    bool held() const { return m_held; }

private:
    std::string m_folder;
    bool m_held = false;
};

bool fileExists(const std::string& path);

// Replaces a file's content as a whole: a temporary file in the same folder, then a rename,
// so that a reader or a crash never sees a half-written file. A symbolic link is followed and
// its target replaced; the old file's permissions are kept. The folder lock is held for the
// whole replacement, so a temporary file of ours found under it was left by a writer that was
// killed, and is removed. Returns false on any failure (a missing folder, something other than
// a regular file at the path), leaving the old file as it was.
[[nodiscard]] bool writeFileAtomically(const std::string& path, const std::string& content);

// The name a temporary file of writeFileAtomically has for the file at path, before the six
// characters that make it unique.
std::string temporaryFilePrefix(const std::string& path);

// A file whose owner write bit is cleared counts as read-only, also for root, so that a file
// the user protected is never replaced.
bool isReadOnlyFile(const std::string& path);

// Creates a folder and its missing parents; true when it exists afterwards.
[[nodiscard]] bool makeFolders(const std::string& path);

std::string parentFolder(const std::string& path);

} // namespace zbpg::platform
