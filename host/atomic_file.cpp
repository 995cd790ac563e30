// WriteFileAtomically: the temporary file, its checks, the rename and the directory sync.
#include "host/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <random>
#include <system_error>
#include <utility>

namespace quoll {

namespace {

std::string ErrorText(int error) {
  return std::generic_category().message(error);
}

// Owns one open file descriptor and closes it on the way out unless Close was called.
class FileDescriptor {
 public:
  FileDescriptor(int fd, const FileOps& ops) : fd_(fd), ops_(ops) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ops_.close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int Get() const { return fd_; }
  // Closes now and returns what close returned; the descriptor is gone either way.
  int Close() { return ops_.close(std::exchange(fd_, -1)); }

 private:
  int fd_;
  const FileOps& ops_;
};

// Removes the temporary file on the way out unless it has become the target.
class TemporaryFile {
 public:
  TemporaryFile(std::string path, const FileOps& ops) : path_(std::move(path)), ops_(ops) {}
  ~TemporaryFile() {
    if (!path_.empty()) ops_.unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  void Keep() { path_.clear(); }

 private:
  std::string path_;
  const FileOps& ops_;
};

std::string RandomSuffix() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kChars - 2);
  std::string suffix(6, ' ');
  for (char& c : suffix) c = kChars[pick(random)];
  return suffix;
}

// The file a save writes: `path` itself, or the file its chain of symlinks ends at (which need
// not exist yet). A relative link counts from the link's directory, as the system reads it.
std::filesystem::path FollowLinks(const std::string& path, std::string& error) {
  namespace fs = std::filesystem;
  constexpr int kMaxLinks = 40;  // the kernel's own limit
  fs::path file = path;
  for (int links = 0;; ++links) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(file, ec);
    if (status.type() != fs::file_type::symlink) {
      if (ec && status.type() != fs::file_type::not_found) error = ec.message();
      return file;
    }
    if (links == kMaxLinks) {
      error = ErrorText(ELOOP);
      return file;
    }
    const fs::path target = fs::read_symlink(file, ec);
    if (ec) {
      error = ec.message();
      return file;
    }
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
}

}  // namespace

const FileOps& RealFileOps() {
  static const FileOps ops{
      .open = [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
      .write = ::write,
      .fsync = ::fsync,
      .fstat = ::fstat,
      .fchmod = ::fchmod,
      .close = ::close,
      .rename = ::rename,
      .unlink = ::unlink,
  };
  return ops;
}

SaveFileResult WriteFileAtomically(const std::string& path, std::string_view bytes, const FileOps& ops) {
  std::string error;
  const std::filesystem::path file = FollowLinks(path, error);
  if (!error.empty()) return {error};
  const std::string target = file.string();

  std::optional<mode_t> keptMode;  // the old file's permission bits
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0)
    keptMode = old.st_mode & 07777;
  else if (errno != ENOENT)
    return {ErrorText(errno)};

  // A fresh name beside the target, so the rename stays on one file system.
  constexpr int kMaxNameTries = 100;
  std::string temporaryPath;
  int fd = -1;
  for (int tries = 1; fd < 0; ++tries) {
    temporaryPath = target + "." + RandomSuffix();
    fd = ops.open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || tries == kMaxNameTries)) return {ErrorText(errno)};
  }
  TemporaryFile temporary(temporaryPath, ops);  // declared first: removed after the close below
  FileDescriptor out(fd, ops);

  if (keptMode && ops.fchmod(out.Get(), *keptMode) != 0) return {ErrorText(errno)};
  // Unbuffered, so every failure is seen here: a short write goes on with the rest, and the next
  // write reports why the rest did not fit.
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ops.write(out.Get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {ErrorText(errno)};
    if (n == 0) return {"the file system took no more bytes"};
    done += static_cast<size_t>(n);
  }
  if (ops.fsync(out.Get()) != 0) return {ErrorText(errno)};
  struct stat written {};
  if (ops.fstat(out.Get(), &written) != 0) return {ErrorText(errno)};
  if (written.st_size != static_cast<off_t>(bytes.size()))
    return {"the written file has " + std::to_string(written.st_size) + " of " +
            std::to_string(bytes.size()) + " bytes"};
  if (out.Close() != 0) return {ErrorText(errno)};
  if (ops.rename(temporaryPath.c_str(), target.c_str()) != 0) return {ErrorText(errno)};
  temporary.Keep();

  // The rename is done; syncing the directory makes it last through a crash where the file
  // system allows it, and a failure there changes nothing for the file.
  const std::filesystem::path directory = file.has_parent_path() ? file.parent_path() : ".";
  const int dirFd = ops.open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (dirFd >= 0) {
    FileDescriptor dir(dirFd, ops);
    ops.fsync(dir.Get());
  }
  return {};
}

}  // namespace quoll
