#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The tree's formatting rule (.clang-format) and static checks (.clang-tidy).
# Usage: lint.sh format SOURCE_DIR | lint.sh tidy SOURCE_DIR BUILD_DIR (with compile_commands.json)
set -euo pipefail
mode=$1 src=$2
cd "$src"
case $mode in
  format)
    # Every C++ file of the project's own, generated and third-party files aside.
    find src tests bench fuzz -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run -Werror
    echo "format: every file follows .clang-format" ;;
  tidy)
    build=$3
    # The Windows files are checked by the Windows build's compiler only.
    find src -name '*.cpp' -not -path '*/win/*' | sort \
      | xargs -n 8 -P "$(nproc)" clang-tidy -p "$build" --quiet 2> >(grep -v 'warnings generated\|^Suppressed\|^Use -header-filter' >&2)
    echo "tidy: no finding in src/" ;;
  *) echo "usage: $0 format SOURCE_DIR | tidy SOURCE_DIR BUILD_DIR" >&2; exit 2 ;;
esac
