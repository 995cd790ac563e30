// Trivial exports for foreign-call-bench: the call itself is all that costs.
#include <cstdint>
#include <cstring>

extern "C" {
int32_t bench_add(int32_t a, int32_t b) {
  return a + b;
}
int32_t bench_length(const char* s) {
  return static_cast<int32_t>(std::strlen(s));
}
}
