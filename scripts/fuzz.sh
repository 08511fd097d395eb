#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the picture fuzzer with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer;
# preset "fuzz": build-fuzz/) and runs it on the generated seed corpus.
# Usage: scripts/fuzz.sh [SECONDS] [extra libFuzzer options]   (default 600 s)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh fuzz
secs="${1:-600}"; shift || true
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
out=build-fuzz/fuzz
mkdir -p "$out/corpus" "$out/crashes"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
export QT_QPA_PLATFORM=offscreen
# One process on one core; new inputs go to corpus/, the seeds stay as they were made.
exec build-fuzz/fuzz/zentyr_fuzz_picture "$out/corpus" build-fuzz/fuzz/seeds \
  -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -artifact_prefix="$out/crashes/" -print_final_stats=1 "$@"
