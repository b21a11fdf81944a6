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

// Whether a replaced file must survive a power loss that comes right after the replacement.
enum class Durability {
    // The settings, the registry file, shortcuts: what the user set must never come back empty.
    // The temporary file is synced to the disk before the rename, and the folder after it.
    SurvivesPowerLoss,
    // The pictures a logon run makes again every time (the screen's picture, the rotation's
    // converted bitmap): one lost to a power loss is made again at the next logon. Syncing
    // them would make each logon run a fifth to two thirds slower: about 15 ms for a picture
    // of 1920x1080 and 45 ms for 3840x2160, where the whole run takes 80 to 160 ms, and 155 ms
    // for the bitmap of a 24-megapixel photo, whose conversion takes 220 ms.
    RemadeAtNextRun,
};

// What a symbolic link that stands at the path of a replaced file is taken for.
enum class AtLink {
    // The user's own files (the settings, the registry file, shortcuts): a user who keeps one
    // elsewhere behind a link has it written there.
    WriteTarget,
    // The files the program makes for itself (its pictures in the cache folder or beside the
    // program): a link there is none of the program's making, and is replaced, never followed,
    // so that no file it points to is overwritten.
    ReplaceLink,
};

// Replaces a file's content as a whole: a temporary file in the same folder, then a rename,
// so that a reader or a crash never sees a half-written file; with SurvivesPowerLoss, neither
// does the next boot after a power loss. An existing path is never opened for writing. A
// symbolic link is followed and its target replaced, or replaced itself, as atLink says (by
// default, as for a file of the program's own, never followed); the old file's permissions are
// kept. The folder lock is held for the whole replacement, so a temporary file of ours found
// under it was left by a writer that was killed, and is removed. Returns false on any failure
// (a missing folder, something other than a regular file at the path, a sync the disk refused),
// leaving the old file as it was.
[[nodiscard]] bool writeFileAtomically(const std::string& path, const std::string& content,
                                       Durability durability, AtLink atLink = AtLink::ReplaceLink);

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
