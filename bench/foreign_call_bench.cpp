// The cost of a call through the native call layer (a prepared libffi signature, arguments and
// result as ForeignValues) against the same export called directly through a function pointer.
// Usage: foreign-call-bench [LIBRARY [CALLS]]; prints both times per workload and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "libs/native_calls/foreign_call.h"
#include "libs/native_calls/native_call_error.h"
#include "libs/native_calls/shared_library.h"

namespace {

using quoll::CParameter;
using quoll::CType;
using quoll::ForeignValue;
using quoll::PreparedSignature;

constexpr int kRepetitions = 5;

// The median of a few timed runs of `work`, in seconds.
template <typename Work>
double MedianSeconds(Work work) {
  std::vector<double> times;
  for (int i = 0; i < kRepetitions; ++i) {
    auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void Report(const char* workload, long calls, double direct, double layered, bool agree) {
  std::printf("%-28s direct %8.2f ms (%6.2f ns/call)  layer %8.2f ms (%6.2f ns/call)  ratio %6.2f%s\n",
              workload, direct * 1e3, direct * 1e9 / calls, layered * 1e3, layered * 1e9 / calls,
              layered / direct, agree ? "" : "  RESULTS DIFFER");
}

// Each loop feeds a call's result into the next, so no call can be left out.
bool BenchAdd(void* address, long calls) {
  auto add = reinterpret_cast<int32_t (*)(int32_t, int32_t)>(address);
  int32_t directSum = 0;
  double direct = MedianSeconds([&] {
    int32_t sum = 0;
    for (long i = 0; i < calls; ++i) sum = add(sum, static_cast<int32_t>(i & 7));
    directSum = sum;
  });

  PreparedSignature signature({CType::kInt32, {CParameter{CType::kInt32}, CParameter{CType::kInt32}}});
  std::vector<ForeignValue> arguments(2);
  ForeignValue result;
  int64_t layeredSum = 0;
  double layered = MedianSeconds([&] {
    int64_t sum = 0;
    for (long i = 0; i < calls; ++i) {
      arguments[0].number = sum;
      arguments[1].number = i & 7;
      signature.Call(address, arguments, result);
      sum = result.number;
    }
    layeredSum = sum;
  });
  Report("int32 add(int32, int32)", calls, direct, layered, directSum == layeredSum);
  return directSum == layeredSum;
}

bool BenchLength(void* address, long calls) {
  auto length = reinterpret_cast<int32_t (*)(const char*)>(address);
  const std::string texts[] = {"a short text", "a somewhat longer text, still short"};
  int64_t directTotal = 0;
  double direct = MedianSeconds([&] {
    int64_t total = 0;
    for (long i = 0; i < calls; ++i) total += length(texts[i & 1].c_str());
    directTotal = total;
  });

  PreparedSignature signature({CType::kInt32, {CParameter{CType::kText}}});
  std::vector<ForeignValue> arguments(1);
  ForeignValue result;
  int64_t layeredTotal = 0;
  double layered = MedianSeconds([&] {
    int64_t total = 0;
    for (long i = 0; i < calls; ++i) {
      // A binding copies the script's string in; so does this loop.
      arguments[0].text = texts[i & 1];
      signature.Call(address, arguments, result);
      total += result.number;
    }
    layeredTotal = total;
  });
  Report("int32 length(const char*)", calls, direct, layered, directTotal == layeredTotal);
  return directTotal == layeredTotal;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string library = argc > 1 ? argv[1] : QUOLL_BENCH_EXPORTS;
  const long calls = argc > 2 ? std::atol(argv[2]) : 1000000;
  if (calls <= 0) {
    std::fprintf(stderr, "foreign-call-bench: CALLS must be a positive number\n");
    return 2;
  }
  try {
    quoll::SharedLibrary exports = quoll::SharedLibrary::Open(library);
    std::printf("%ld calls, median of %d runs\n", calls, kRepetitions);
    bool agree = BenchAdd(exports.Export("bench_add"), calls);
    agree = BenchLength(exports.Export("bench_length"), calls) && agree;
    return agree ? 0 : 1;
  } catch (const quoll::NativeCallError& e) {
    std::fprintf(stderr, "foreign-call-bench: %s\n", e.what());
    return 2;
  }
}
