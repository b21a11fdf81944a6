#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zbpg::platform {

class FolderLock;

// The largest settings or registry file the program reads. Its own files stay far below; a
// larger one is damaged or not one of them, and reading it would only exhaust memory.
inline constexpr std::size_t kMaxStoreFileBytes = std::size_t{64} << 20;

// The whole content of a settings or registry file, or nothing when no file is there (a missing
// folder included). Anything else at the path raises Error "ファイル %s は開けません" with the
// path: a folder, a FIFO, a device, a file that cannot be read, a file larger than
// kMaxStoreFileBytes (see readRegularFile). Opening never blocks.
[[nodiscard]] std::optional<std::string> readStoreFile(const std::string& path);

// The file behind one session of a settings store (the INI file or the registry file): read
// once when the session opens, replaced as a whole when it commits.
//
// A session for update creates the file's folder when missing, then takes the folder lock and
// holds it to its end, so that nothing another writer does between the read and the write is
// lost. A session for read takes the lock only when it commits, and then writes only when the
// file is still as it read it.
class StoreFile final {
public:
    // Reads the file; raises the error of readStoreFile, so that a file that exists but
    // cannot be read is never taken as empty and replaced. While there is no file at the path,
    // the content is that of the seed file, when one is given and there: the first write then
    // keeps what the seed holds.
    StoreFile(std::string path, bool forUpdate, const std::string& seedPath = {});
    ~StoreFile();
    StoreFile(StoreFile&&) noexcept;
    StoreFile& operator=(StoreFile&&) noexcept;

    const std::string& path() const { return m_path; }
    // The content as read ("" for a missing file); hands it over once.
    std::string takeContent();
    // Replaces the file; false when it could not be written or locked, or when a session for
    // read finds that the file changed since it was read.
    [[nodiscard]] bool replace(const std::string& content);

private:
    struct Fingerprint {
        bool exists = false;
        std::size_t size = 0;
        std::size_t hash = 0;
        bool operator==(const Fingerprint&) const = default;
    };
    static Fingerprint fingerprintOf(const std::optional<std::string>& content);
    static Fingerprint fingerprintOf(std::string_view content);

    std::string m_path;
    std::unique_ptr<FolderLock> m_lock; // sessions for update only
    std::string m_content;
    Fingerprint m_fingerprint;
};

} // namespace zbpg::platform
