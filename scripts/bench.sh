#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Release with the benchmark programs (preset "bench": build-bench/) and prints the benchmark
# figures: start-up against a bare Qt window and memory against bare Qt windows of the same sizes with a
# tray icon (the baseline, built alongside), the start-up timers, idle context switches and paint times,
# all on a virtual desktop (Xvfb 1280x800 at 96 dpi, openbox, trayer), and the stripped binary's size.
# Figures only: nothing here fails on a number.
#   scripts/bench.sh [runs]              benchmarks (default 7 runs, medians)
#   scripts/bench.sh endurance [cycles]  open/hide cycles in one process (default 10000), offscreen
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake --preset bench >/dev/null
rt=$(mktemp -d); chmod 700 "$rt"
trap 'rm -rf "$rt"' EXIT

if [ "${1:-}" = endurance ]; then
  cmake --build --preset bench --target zentyr_endurance -j2
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$rt" build-bench/tests/zentyr_endurance "${2:-10000}"
  exit
fi

cmake --build --preset bench -j2
echo "machine: $(nproc) cores, $(. /etc/os-release; echo "$PRETTY_NAME"), Qt $(dpkg-query -W -f='${Version}' qt6-base-dev), Xvfb $(dpkg-query -W -f='${Version}' xvfb)"
echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
XDG_RUNTIME_DIR="$rt" build-bench/bench/zentyr_bench "${1:-7}"
echo
echo "in process, offscreen:"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$rt" build-bench/bench/zentyr_paint_bench 2>/dev/null
echo
for b in zentyr bench/zentyr_baseline; do
  strip -o "$rt/stripped" "build-bench/$b"
  echo "stripped size: $(basename "$b") $(stat -c %s "$rt/stripped") bytes"
done
