# Sourced by scripts/test.sh and scripts/fuzz.sh: the one sanitizer build
# both use, in build-asan/ by default. clang-14 builds the library, the
# program and the tests under AddressSanitizer and UBSan, instrumented for
# libFuzzer's coverage, and the fuzz targets beside them; the tests then run
# in the same build the fuzz targets come from, so CI builds it once.
# -O1 keeps the tests and the fuzzing quick; line tables are enough for the
# sanitizers' stack traces.
sanitized_configure() {
  local dir=$1 launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$dir" -DZELMORA_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug \
    "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -gline-tables-only" "${launcher[@]}" >/dev/null
}
