// The atomic file writer in a real directory, with its system calls made to fail or to do part of
// their work at chosen uses: whatever fails, the old file stays and no temporary file is left.
#include "host/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace quoll_test {
namespace {

namespace fs = std::filesystem;
using quoll::FileOps;
using quoll::WriteFileAtomically;

enum class Call { Open, Write, Fsync, Fstat, Fchmod, Close, Rename };

// What a faulty use of a call does: fails with an errno, or one of these.
constexpr int kHalf = -1;     // write: writes half the bytes; fstat: reports half the size
constexpr int kNothing = -2;  // write: writes nothing and returns 0

struct Fault {
  Call call;
  int use;  // 1 = the call's first use
  int effect;
};

struct Faults {
  std::vector<Fault> planned;
  std::map<Call, int> uses;
  int effect = 0;  // of the call being made

  int Next(Call call) {
    const int use = ++uses[call];
    for (const Fault& f : planned)
      if (f.call == call && f.use == use) return f.effect;
    return 0;
  }
};

// The real calls, except at the planned uses: there an errno fails the call, which does nothing
// then, except a close, which releases the descriptor all the same.
FileOps FaultyOps(const std::shared_ptr<Faults>& faults) {
  const FileOps& real = quoll::RealFileOps();
  auto wrap = [faults](Call call, auto work) {
    return [=](auto... args) {
      faults->effect = faults->Next(call);
      if (faults->effect <= 0) return work(args...);
      errno = faults->effect;
      return decltype(work(args...)){-1};
    };
  };
  FileOps ops = real;
  ops.open = wrap(Call::Open, real.open);
  ops.write = wrap(Call::Write, [&real, faults](int fd, const void* data, size_t size) -> ssize_t {
    if (faults->effect == kNothing) return 0;
    return real.write(fd, data, faults->effect == kHalf ? size / 2 : size);
  });
  ops.fsync = wrap(Call::Fsync, real.fsync);
  ops.fstat = wrap(Call::Fstat, [&real, faults](int fd, struct stat* info) {
    const int result = real.fstat(fd, info);
    if (faults->effect == kHalf) info->st_size /= 2;
    return result;
  });
  ops.fchmod = wrap(Call::Fchmod, real.fchmod);
  ops.close = [&real, fail = wrap(Call::Close, [](int) { return 0; })](int fd) {
    real.close(fd);
    return fail(fd);
  };
  ops.rename = wrap(Call::Rename, real.rename);
  return ops;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::set<std::string> Entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

mode_t PermissionBits(const fs::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

const std::string kOld = "begin\r\n  Writeln('old');\r\nend.\r\n";
const std::string kNew = "begin\r\n  Writeln('the new text');\r\nend.\r\n";

struct FaultCase {
  const char* name;
  std::vector<Fault> faults;
  std::string error;  // the error text expected; empty when the save succeeds all the same
};

void PrintTo(const FaultCase& c, std::ostream* os) {
  *os << c.name;
}

class AtomicFileFaultTest : public testing::TestWithParam<FaultCase> {};

TEST_P(AtomicFileFaultTest, OnlyAWholeSaveReplacesTheFileAndNoTemporaryIsLeft) {
  ScopedWorkDir dir;
  dir.Write("script.qs", kOld);
  ASSERT_EQ(::chmod("script.qs", 0640), 0);
  auto faults = std::make_shared<Faults>(Faults{GetParam().faults, {}});

  EXPECT_EQ(WriteFileAtomically("script.qs", kNew, FaultyOps(faults)).error, GetParam().error);

  EXPECT_EQ(ReadFile("script.qs"), GetParam().error.empty() ? kNew : kOld);
  EXPECT_EQ(PermissionBits("script.qs"), 0640u);
  EXPECT_EQ(Entries("."), std::set<std::string>{"script.qs"});
  for (const Fault& f : GetParam().faults)
    EXPECT_GE(faults->uses[f.call], f.use) << "a planned fault never happened";
}

const FaultCase kFaultCases[] = {
    {"TemporaryFileCannotBeMade", {{Call::Open, 1, EACCES}}, std::strerror(EACCES)},
    {"PermissionBitsCannotBeKept", {{Call::Fchmod, 1, EPERM}}, std::strerror(EPERM)},
    {"DiskFull", {{Call::Write, 1, ENOSPC}}, std::strerror(ENOSPC)},
    {"ShortWriteThenDiskFull", {{Call::Write, 1, kHalf}, {Call::Write, 2, ENOSPC}}, std::strerror(ENOSPC)},
    {"WriteMakesNoProgress", {{Call::Write, 1, kNothing}}, "the file system took no more bytes"},
    {"SyncFails", {{Call::Fsync, 1, EIO}}, std::strerror(EIO)},
    {"SizeCannotBeRead", {{Call::Fstat, 1, EIO}}, std::strerror(EIO)},
    {"FileShorterThanWritten",
     {{Call::Fstat, 1, kHalf}},
     "the written file has " + std::to_string(kNew.size() / 2) + " of " + std::to_string(kNew.size()) +
         " bytes"},
    {"CloseFails", {{Call::Close, 1, EIO}}, std::strerror(EIO)},
    {"RenameFails", {{Call::Rename, 1, EXDEV}}, std::strerror(EXDEV)},
    // Faults the writer gets past.
    {"TemporaryNameTakenTriesAnother", {{Call::Open, 1, EEXIST}}, ""},
    {"InterruptedWriteGoesOn", {{Call::Write, 1, EINTR}}, ""},
    {"ShortWritesGoOn", {{Call::Write, 1, kHalf}, {Call::Write, 2, kHalf}}, ""},
    {"DirectoryCannotBeOpened", {{Call::Open, 2, EACCES}}, ""},
    {"DirectorySyncFails", {{Call::Fsync, 2, EIO}}, ""},
};

INSTANTIATE_TEST_SUITE_P(AtomicFile, AtomicFileFaultTest, testing::ValuesIn(kFaultCases),
                         [](const testing::TestParamInfo<FaultCase>& info) {
                           return std::string(info.param.name);
                         });

// The link stays a link and its file gets the text with its own permission bits; a relative link
// counts from the link's directory, not from the current one.
TEST(AtomicFile, WritesThroughASymlinkAndKeepsThePermissionBits) {
  ScopedWorkDir dir;
  dir.Write("real.qs", kOld);
  ASSERT_EQ(::chmod("real.qs", 0604), 0);
  fs::create_directory("scripts");
  fs::create_symlink("../real.qs", "scripts/link.qs");

  EXPECT_EQ(WriteFileAtomically("scripts/link.qs", kNew).error, "");

  EXPECT_TRUE(fs::is_symlink("scripts/link.qs"));
  EXPECT_EQ(fs::read_symlink("scripts/link.qs"), "../real.qs");
  EXPECT_EQ(ReadFile("real.qs"), kNew);
  EXPECT_EQ(PermissionBits("real.qs"), 0604u);
  EXPECT_EQ(Entries("."), (std::set<std::string>{"real.qs", "scripts"}));
  EXPECT_EQ(Entries("scripts"), std::set<std::string>{"link.qs"});
}

}  // namespace
}  // namespace quoll_test
