// Writing a file so that a failure never damages the file already there: the bytes go to a
// temporary file beside it, which replaces it only once every byte is known to be on the disk.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

namespace quoll {

// The POSIX calls the writer makes. The real ones by default; tests hand in versions that fail
// where a real file system cannot be made to fail on demand.
struct FileOps {
  std::function<int(const char* path, int flags, mode_t mode)> open;
  std::function<ssize_t(int fd, const void* data, size_t size)> write;
  std::function<int(int fd)> fsync;
  std::function<int(int fd, struct stat* info)> fstat;
  std::function<int(int fd, mode_t mode)> fchmod;
  std::function<int(int fd)> close;
  std::function<int(const char* from, const char* to)> rename;
  std::function<int(const char* path)> unlink;
};

const FileOps& RealFileOps();

struct SaveFileResult {
  std::string error;  // why the file was not written (the system's error text); empty when it was
  bool Ok() const { return error.empty(); }
};

// Replaces the file at `path` with `bytes`: writes a new file beside it, syncs it to the disk,
// checks its size, renames it over the old one and syncs the directory (best effort, the rename
// has happened by then). A symlink is followed, so the file it names gets the bytes and the link
// stays. The old file's permission bits are kept; a new file gets 0666 less the umask. On any
// failure the temporary file is removed and the old file stays as it was.
SaveFileResult WriteFileAtomically(const std::string& path, std::string_view bytes,
                                   const FileOps& ops = RealFileOps());

}  // namespace quoll
