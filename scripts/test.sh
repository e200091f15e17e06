#!/usr/bin/env bash
# Builds zelmora and runs every test.
#   scripts/test.sh                      normal build in build/
#   scripts/test.sh build-asan --asan    AddressSanitizer + UBSan build (clang-14),
#                                        which also builds the fuzz targets
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/sanitized_build.sh
dir=${1:-build}
asan=0
select=()
if [ "${2:-}" = "--asan" ]; then
  asan=1
  # The T-SQL grammar checks run sqlfluff over texts that do not depend on
  # the build; the normal build runs them, the sanitizer build skips them.
  select=(-E Grammar)
  # fontconfig's font cache, kept to the end of the process, is not ours;
  # the suppressions are not listed at exit, so that a command's standard
  # error holds only what the command said.
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
fi
scripts/deps.sh
if [ "$asan" = 1 ]; then
  sanitized_configure "$dir"
else
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" "${select[@]}"
