// The direct twin of bound_call.qs: the same export called as often from a C++ loop through a
// function pointer. Usage: bound-call-direct FILE, where FILE names the library (found as
// dlopen finds it), the export, of type int32_t (int32_t, int32_t), and the number of calls:
// "libquoll-bench-exports.so bench_add 1000000". Prints the sum as the script does, and the time
// of the loop alone on stderr ("run seconds: S").
#include <dlfcn.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bound-call-direct FILE\n");
    return 2;
  }
  std::ifstream in(argv[1]);
  std::string library, symbol;
  long calls = 0;
  if (!(in >> library >> symbol >> calls) || calls <= 0) {
    std::fprintf(stderr, "bound-call-direct: %s: expected LIBRARY EXPORT CALLS\n", argv[1]);
    return 2;
  }
  void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    std::fprintf(stderr, "bound-call-direct: %s\n", dlerror());
    return 2;
  }
  auto add = reinterpret_cast<int32_t (*)(int32_t, int32_t)>(dlsym(handle, symbol.c_str()));
  if (!add) {
    std::fprintf(stderr, "bound-call-direct: %s: no export %s\n", library.c_str(), symbol.c_str());
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  int32_t sum = 0;
  for (long i = 0; i < calls; ++i) sum = add(sum, static_cast<int32_t>(i & 7));
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("sum %d\n", sum);
  std::fprintf(stderr, "run seconds: %.6f\n", seconds);
  dlclose(handle);
  return 0;
}
