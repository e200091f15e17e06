#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ in build-fuzz/ (clang-14, AddressSanitizer
# and UBSan) and runs them.
#   scripts/fuzz.sh TARGET [SECONDS]   one target, 600 s by default; new inputs it
#                                      finds go to build-fuzz/corpus/TARGET, a
#                                      crashing input to build-fuzz/artifacts/
#   scripts/fuzz.sh --ci [SECONDS]     every target for SECONDS each (20 by default),
#                                      printing the executions of each; exits 1
#                                      when a target crashes, leaks or hangs
#   scripts/fuzz.sh --list             the targets
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
targets=(recordset_filter_fuzz tsql_translate_fuzz date_parse_fuzz host_script_fuzz command_line_fuzz)

# The longest input worth trying per target: a criterion, a batch of a few
# statements, a date or number text, a script, a command line.
max_len() {
  case "$1" in
    recordset_filter_fuzz) echo 256 ;;
    tsql_translate_fuzz) echo 1024 ;;
    date_parse_fuzz) echo 64 ;;
    host_script_fuzz) echo 1024 ;;
    command_line_fuzz) echo 512 ;;
  esac
}

if [ "${1:-}" = "--list" ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
if [ $# -lt 1 ]; then
  echo "usage: scripts/fuzz.sh TARGET [SECONDS] | --ci [SECONDS] | --list" >&2
  exit 2
fi

build() {
  scripts/deps.sh
  launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DZELMORA_FUZZ=ON -DZELMORA_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" "${launcher[@]}" >/dev/null
  cmake --build build-fuzz -j"$(nproc)" --target "$@"
}

# run TARGET SECONDS: fuzzes from the committed seeds plus what earlier runs kept.
run() {
  local target=$1 seconds=$2
  mkdir -p "build-fuzz/corpus/$target" build-fuzz/artifacts
  (cd build-fuzz && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "fuzz/$target" -max_total_time="$seconds" -max_len="$(max_len "$target")" -timeout=10 \
      -artifact_prefix="$root/build-fuzz/artifacts/$target-" -print_final_stats=1 \
      "corpus/$target" "$root/fuzz/corpus/$target")
}

if [ "$1" = "--ci" ]; then
  seconds=${2:-20}
  build "${targets[@]}"
  failed=0
  passed=0
  for target in "${targets[@]}"; do
    log=build-fuzz/$target.log
    if run "$target" "$seconds" >"$log" 2>&1; then
      passed=$((passed + 1))
      echo "fuzz $target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" | tail -1)"
    else
      failed=$((failed + 1))
      echo "fuzz $target: FAILED"
      grep -E -A40 'ERROR|runtime error|deadly|timeout' "$log" | head -80 || tail -40 "$log"
    fi
  done
  echo "fuzz targets: $passed clean, $failed crashed"
  [ "$failed" -eq 0 ]
  exit
fi

target=$1
if ! printf '%s\n' "${targets[@]}" | grep -qx "$target"; then
  echo "scripts/fuzz.sh: no fuzz target $target (scripts/fuzz.sh --list)" >&2
  exit 2
fi
build "$target"
run "$target" "${2:-600}"
