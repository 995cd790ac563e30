// Loading, looking up and unloading shared libraries: the project's test library and the C library.
#include "libs/native_calls/shared_library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "libs/native_calls/native_call_error.h"
#include "load_counter.h"

namespace quoll {
namespace {

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const NativeCallError& e) {
    return e.what();
  }
  return "no error";
}

// Whether the test library is mapped into this process, as the kernel sees it.
bool TestLibraryMapped() {
  std::ifstream maps("/proc/self/maps");
  std::string all((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
  return all.find(std::filesystem::canonical(QUOLL_TEST_EXPORTS).string()) != std::string::npos;
}

TEST(SharedLibrary, FailuresCarryTheLoadersText) {
  struct Case {
    std::string name;
    std::string expected;
  };
  std::string notALibrary = (std::filesystem::temp_directory_path() / "quoll-not-a-library.so").string();
  std::ofstream(notALibrary) << "plain text, no ELF header\n";
  const Case cases[] = {
      {"/nonexistent/libnothing.so", "/nonexistent/libnothing.so: cannot open shared object file"},
      {"libquoll-no-such-library.so.1", "libquoll-no-such-library.so.1: cannot open shared object file"},
      {notALibrary, notALibrary + ": "},
      {"", "no library name given"},
      {std::string("libc.so.6\0.evil", 15), "library name contains a NUL byte"},
  };
  for (const Case& c : cases) {
    std::string error = ErrorOf([&] { SharedLibrary::Open(c.name); });
    EXPECT_EQ(error.substr(0, c.expected.size()), c.expected) << error;
  }
  std::filesystem::remove(notALibrary);
  EXPECT_EQ(quoll_load_counter_value(), 0);
}

TEST(SharedLibrary, MissingExportsNameTheSymbol) {
  SharedLibrary library = SharedLibrary::Open(QUOLL_TEST_EXPORTS);
  EXPECT_NE(library.Export("qt_next_int32"), nullptr);
  std::string error = ErrorOf([&] { library.Export("qt_no_such_export"); });
  EXPECT_NE(error.find("undefined symbol: qt_no_such_export"), std::string::npos) << error;
  EXPECT_EQ(ErrorOf([&] { library.Export(""); }), std::string(QUOLL_TEST_EXPORTS) + ": no export name given");
  EXPECT_EQ(ErrorOf([&] { library.Export(std::string("qt_greeting\0x", 13)); }),
            std::string(QUOLL_TEST_EXPORTS) + ": export name contains a NUL byte");
  // The library's symbols stay local to it: the program's own lookup does not see them.
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "qt_greeting"), nullptr);
  library.Close();
  EXPECT_EQ(ErrorOf([&] { library.Export("qt_greeting"); }), "no library loaded");
  EXPECT_EQ(ErrorOf([] { SharedLibrary().Export("strlen"); }), "no library loaded");
}

TEST(SharedLibrary, UnloadsWhenTheLastHandleGoes) {
  ASSERT_EQ(quoll_load_counter_value(), 0);
  ASSERT_FALSE(TestLibraryMapped());
  {
    SharedLibrary library = SharedLibrary::Open(QUOLL_TEST_EXPORTS);
    EXPECT_TRUE(library.IsOpen());
    EXPECT_EQ(quoll_load_counter_value(), 1);
    EXPECT_TRUE(TestLibraryMapped());
  }
  EXPECT_EQ(quoll_load_counter_value(), 0);
  EXPECT_FALSE(TestLibraryMapped());

  // Two handles load it once; it stays until both are closed.
  SharedLibrary first = SharedLibrary::Open(QUOLL_TEST_EXPORTS);
  SharedLibrary second = SharedLibrary::Open(QUOLL_TEST_EXPORTS);
  EXPECT_EQ(quoll_load_counter_value(), 1);
  first.Close();
  EXPECT_FALSE(first.IsOpen());
  auto loadCount = reinterpret_cast<int32_t (*)()>(second.Export("qt_load_count"));
  EXPECT_EQ(loadCount(), 1);
  first.Close();  // closing twice releases nothing more
  EXPECT_EQ(quoll_load_counter_value(), 1);

  // A handle moved away is released by its new owner only; assigning over a handle releases it.
  SharedLibrary moved = std::move(second);
  EXPECT_EQ(quoll_load_counter_value(), 1);
  moved = SharedLibrary::Open("libc.so.6");
  EXPECT_EQ(quoll_load_counter_value(), 0);
  EXPECT_FALSE(TestLibraryMapped());
  EXPECT_NE(moved.Export("strlen"), nullptr);
}

}  // namespace
}  // namespace quoll
