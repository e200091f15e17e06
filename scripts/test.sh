#!/usr/bin/env bash
# Builds zelmora and runs every test.
#   scripts/test.sh                      normal build in build/
#   scripts/test.sh build-asan --asan    AddressSanitizer + UBSan build
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
select=()
if [ "${2:-}" = "--asan" ]; then
  flags=(-DCMAKE_BUILD_TYPE=Debug -DZELMORA_SANITIZE=ON)
  # The T-SQL grammar checks run sqlfluff over texts that do not depend on
  # the build; the normal build runs them, the sanitizer build skips them.
  select=(-E Grammar)
  # fontconfig's font cache, kept to the end of the process, is not ours.
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
fi
scripts/deps.sh
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" "${select[@]}"
