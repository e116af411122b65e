#pragma once
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string_view>
#include <vector>

namespace quillon::platform {

// What a replaceFile did. `error` is the errno of a failure, 0 when the file was replaced.
// `ownerKept` is false when the file was replaced but could not keep its owner or group
// (only root may give a file away), so it now belongs to whoever saved it.
struct FileReplaced {
  int error = 0;
  bool ownerKept = true;
  explicit operator bool() const { return error == 0; }
};

// Every save of a file goes through here, so that a failed save never destroys the old file:
//  - The content goes into a new sibling of the file (same folder, so the rename below is
//    atomic), is flushed to disk, and is renamed over the file; the folder is flushed too.
//    On any failure the sibling is removed and the old file is as it was.
//  - The new file keeps the old one's permission bits, owner and group (see ownerKept); a new
//    file gets 0666 less the umask.
//  - A symbolic link is followed: the file it points at is replaced, the link stays a link.
//  - A file is refused (EACCES) when the user may not write it, as a plain open for writing
//    would refuse it, and also when it has no write bit at all: root may write anything, but
//    a read-only file is never replaced behind its owner's back. A folder (EISDIR) and a FIFO,
//    device or socket (EINVAL) are refused too.
//  - Other hard links to the old file keep the old content.
// `write` fills the stream; an exception from it removes the sibling and passes on.
FileReplaced replaceFile(const std::filesystem::path& path,
                         const std::function<void(std::ostream&)>& write);
FileReplaced replaceFile(const std::filesystem::path& path, std::string_view bytes);

// The sibling is named ".<file name>.quillon-save-<process id>-XXXXXX", which no user file is
// called. One left behind by a process that is gone (killed during a save) is removed here,
// at the next save (replaceFile calls this) or open of the same file; nothing else is ever
// removed, and no temporary of a process still running.
void removeStaleSaveTemporaries(const std::filesystem::path& path);
// The same for many files at once, as Open of many files needs: each folder is listed once.
void removeStaleSaveTemporaries(const std::vector<std::filesystem::path>& paths);

}  // namespace quillon::platform
