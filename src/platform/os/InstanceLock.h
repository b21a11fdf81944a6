#pragma once

#include <memory>
#include <string>

namespace zbpg::platform {

// A lock only one process holds at a time: an advisory lock (flock) on a file of its own name,
// which the kernel releases however the holder ends, also when it is killed. The holder removes
// the file when it lets go, also when the process ends through exit(); the next holder locks
// the file that is there, checking after the lock that it still is, so a file removed in
// between is never held by two.
class InstanceLock final {
public:
    // The lock, or nothing when another process holds it. Raises "ファイル %s を作成できません"
    // when the file cannot be made.
    static std::unique_ptr<InstanceLock> take(const std::string& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

private:
    InstanceLock(std::string path, int file);

    std::string m_path;
    int m_file;
};

} // namespace zbpg::platform
