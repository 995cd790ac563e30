#!/usr/bin/env bash
# Runs quoll-fuzz for SECONDS with the golden scripts and examples as its seed corpus.
# Usage: run_fuzz.sh FUZZER SECONDS WORKDIR
# WORKDIR keeps the corpus the fuzzer grows (so later runs go on from it) and, in crashes/, every
# input that crashed, ran out of memory or took too long. Exits 77 (skipped) when FUZZER was not
# built, which happens where no clang with libFuzzer is installed.
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "usage: $0 FUZZER SECONDS WORKDIR" >&2
  exit 2
fi
fuzzer=$1 seconds=$2 work=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
if [ ! -x "$fuzzer" ]; then
  echo "quoll-fuzz was not built (no clang++ with libFuzzer): fuzzing skipped"
  exit 77
fi
mkdir -p "$work/corpus" "$work/crashes"
# Inputs up to 16 KiB; one input may take 20 s and 4 GiB (a script may hold strings of 1 GiB); the
# golden folders are read, not written.
exec "$fuzzer" -max_total_time="$seconds" -max_len=16384 -timeout=20 -rss_limit_mb=4096 \
  -dict="$root/tools/fuzz/quoll.dict" -artifact_prefix="$work/crashes/" -print_final_stats=1 \
  "$work/corpus" "$root/tests/scripts" "$root/examples"
