#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ in the sanitizer build, build-asan/
# (clang-14, AddressSanitizer and UBSan; scripts/sanitized_build.sh), and runs them.
#   scripts/fuzz.sh TARGET [SECONDS]   one target, 600 s by default; new inputs it
#                                      finds go to build-asan/corpus/TARGET, a
#                                      crashing input to build-asan/artifacts/
#   scripts/fuzz.sh --ci [SECONDS]     every target for SECONDS each (20 by default),
#                                      printing the executions of each; exits 1
#                                      when a target crashes, leaks or hangs
#   scripts/fuzz.sh --list             the targets
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/sanitized_build.sh
dir=build-asan
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
  sanitized_configure "$dir"
  cmake --build "$dir" -j"$(nproc)" --target "$@"
}

# run TARGET SECONDS: fuzzes from the committed seeds plus what earlier runs kept.
run() {
  local target=$1 seconds=$2
  mkdir -p "$dir/corpus/$target" "$dir/artifacts"
  (cd "$dir" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "fuzz/$target" -max_total_time="$seconds" -max_len="$(max_len "$target")" -timeout=10 \
      -artifact_prefix="$root/$dir/artifacts/$target-" -print_final_stats=1 \
      "corpus/$target" "$root/fuzz/corpus/$target")
}

if [ "$1" = "--ci" ]; then
  seconds=${2:-20}
  build "${targets[@]}"
  failed=0
  passed=0
  for target in "${targets[@]}"; do
    log=$dir/$target.log
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
