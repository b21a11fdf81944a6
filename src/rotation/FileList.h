#pragma once

#include <string>
#include <vector>

namespace zbpg {

// Appends the files the paths stand for, path by path in list order: a regular file stands for
// itself, whatever its name; a folder, also one named like a picture, for the regular files in
// it, hidden ones included, in the order the file system lists them, and unless skipSubFolders
// for those of each sub-folder at any depth, right where the sub-folder is listed. A path where
// nothing is adds nothing. Links are followed, but one path's walk never enters the same
// folder twice, so a link back up ends there. FIFOs, devices and sockets are never candidates,
// so nothing that could block is ever opened later.
void EnumFileList(const std::vector<std::string>& paths, bool skipSubFolders,
                  std::vector<std::string>& found);

} // namespace zbpg
