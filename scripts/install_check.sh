#!/usr/bin/env bash
# Installs a built tree into a scratch prefix and checks what a host
# developer gets from it:
#   - the installed files, the shared library's SONAME, `zelmora --version`;
#   - each installed header compiles alone with only the prefix's include
#     folder on the include path, and reaches no header of SQLite, ODBC,
#     cairo, pango, glib or fmt, nor anything of the source tree;
#   - the host examples (examples/host), copied out of the source tree, find
#     the package in the prefix and build against the shared library, then
#     `submit` again against the static one and once through pkg-config;
#   - on a demo database each `submit` writes the same submission file,
#     byte for byte, as `zelmora telematic` with the same inputs, and
#     `print_jobs` collects its two print jobs;
#   - `cpack -G DEB` makes zelmora and libzelmora-dev with the expected files
#     and dependencies (skipped when dpkg-deb is missing).
#   scripts/install_check.sh [BUILD_DIR]     (default build/, built when needed)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
case $build in /*) ;; *) build=$PWD/$build ;; esac
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target zelmora_program zelmora_shared zelmora >/dev/null

scratch=$(mktemp -d "${TMPDIR:-/tmp}/zelmora-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
fail() { echo "install_check: $*" >&2; exit 1; }

version=$(sed -n 's/^project(zelmora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || fail "no project version in CMakeLists.txt"
IFS=. read -r major minor _ <<<"$version"
soversion=$([ "$major" = 0 ] && echo "0.$minor" || echo "$major")

cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
for f in bin/zelmora "$libdir/libzelmora.so.$version" "$libdir/libzelmora.so.$soversion" "$libdir/libzelmora.so" \
         "$libdir/libzelmora.a" "$libdir/cmake/zelmora/zelmoraConfig.cmake" \
         "$libdir/cmake/zelmora/zelmoraConfigVersion.cmake" "$libdir/cmake/zelmora/zelmoraTargets.cmake" \
         "$libdir/pkgconfig/zelmora.pc" include/zelmora/zelmora.h include/zelmora/version.h; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
soname=$(objdump -p "$prefix/$libdir/libzelmora.so.$version" | awk '$1 == "SONAME" {print $2}')
[ "$soname" = "libzelmora.so.$soversion" ] || fail "SONAME is '$soname', not libzelmora.so.$soversion"
[ "$("$prefix/bin/zelmora" --version)" = "zelmora $version" ] || fail "zelmora --version does not print 'zelmora $version'"

# Each header alone, with only the prefix on the include path; the headers
# it reaches are listed by the preprocessor and checked.
check_header() {
  local header=$1 prefix=$2 root=$3 deps
  deps=$(printf '#include <zelmora/%s>\n' "$header" |
         c++ -std=c++20 -Wall -Wextra -Werror -fsyntax-only -I"$prefix/include" -x c++ - -H 2>&1 >/dev/null) ||
    { echo "zelmora/$header does not compile alone:"; echo "$deps"; return 1; }
  if grep -v "^\.* $prefix/include/zelmora/" <<<"$deps" |
     grep -E -i "sqlite|odbc|/sql[a-z]*\.h|cairo|pango|glib|/fmt/|nlohmann|/CLI/|$root"; then
    echo "zelmora/$header reaches the headers above"
    return 1
  fi
}
export -f check_header
headers=$(cd "$prefix/include/zelmora" && ls)
[ "$(wc -w <<<"$headers")" -ge 20 ] || fail "too few headers installed: $headers"
xargs -P"$(nproc)" -I{} bash -c 'check_header "$@"' _ {} "$prefix" "$root" <<<"$headers" || fail "installed headers"

# The examples, out of the source tree, against the prefix.
cp -r "$root/examples/host" "$scratch/host"
build_host() {  # folder, extra cmake arguments
  cmake -S "$scratch/host" -B "$scratch/$1" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "${@:2}" >/dev/null
  local found
  found=$(sed -n 's/^zelmora_DIR:PATH=//p' "$scratch/$1/CMakeCache.txt")
  [ "$found" = "$prefix/$libdir/cmake/zelmora" ] || fail "the package was found in '$found', not in the prefix"
  if grep -F -e "$root" -e "$build" "$scratch/$1/compile_commands.json"; then fail "the source tree is on the example's command line"; fi
  cmake --build "$scratch/$1" -j"$(nproc)" >/dev/null
}
build_host host-shared
build_host host-static -DHOST_LINK_STATIC=ON
loaded=$(ldd "$scratch/host-shared/submit")
grep -q "libzelmora.so.$soversion => $prefix/" <<<"$loaded" || fail "submit does not load the installed shared library"
loaded=$(ldd "$scratch/host-static/submit")
if grep libzelmora <<<"$loaded"; then fail "the static submit loads the shared library"; fi
PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig pkg-config --cflags --libs zelmora >"$scratch/pc-flags"
# shellcheck disable=SC2046
c++ -std=c++20 -O1 "$scratch/host/submit.cpp" -o "$scratch/submit-pc" $(cat "$scratch/pc-flags") \
  -Wl,-rpath,"$prefix/$libdir" || fail "submit does not build with pkg-config's flags: $(cat "$scratch/pc-flags")"

# The same submission from the program and from each example.
"$prefix/bin/zelmora" db demo "$scratch/demo.db" >/dev/null
mkdir "$scratch/program"
"$prefix/bin/zelmora" telematic --db "$scratch/demo.db" --company 1 --year 2024 --period 3 --lists both \
  --user ABCD --date 2024-04-10 --progressive 1 --submission 1 --vat 01234567890 --layout 2010 --out "$scratch/program" >/dev/null
[ "$(ls "$scratch/program")" = ABCD0410.I01 ] || fail "zelmora telematic wrote: $(ls "$scratch/program")"
for submit in host-shared/submit host-static/submit submit-pc; do
  out=$scratch/out-${submit%%/*}
  mkdir "$out"
  "$scratch/$submit" "$scratch/demo.db" "$out" >"$out.log" || fail "$submit failed: $(cat "$out.log")"
  [ "$(ls "$out")" = ABCD0410.I01 ] || fail "$submit wrote: $(ls "$out")"
  cmp "$scratch/program/ABCD0410.I01" "$out/ABCD0410.I01" || fail "$submit's file differs from zelmora telematic's"
done
"$scratch/host-shared/print_jobs" "$scratch/demo.db" >"$scratch/print_jobs.log" ||
  fail "print_jobs failed: $(cat "$scratch/print_jobs.log")"
[ "$(head -n 1 "$scratch/print_jobs.log")" = "2 print jobs" ] || fail "print_jobs: $(cat "$scratch/print_jobs.log")"

if command -v dpkg-deb >/dev/null; then
  (cd "$build" && cpack -G DEB -B "$scratch/deb" >"$scratch/cpack.log" 2>&1) || fail "cpack -G DEB failed: $(cat "$scratch/cpack.log")"
  arch=$(dpkg --print-architecture)
  runtime=$scratch/deb/zelmora_${version}_$arch.deb
  dev=$scratch/deb/libzelmora-dev_${version}_$arch.deb
  if [ ! -f "$runtime" ] || [ ! -f "$dev" ]; then fail "packages made: $(ls "$scratch/deb")"; fi
  contents() { dpkg-deb -c "$1" | awk '{print $6}' | grep -v '/$' | sort; }
  expect() { printf '%s\n' "$@" | sort; }
  diff <(contents "$runtime") <(expect ./usr/bin/zelmora "./usr/$libdir/libzelmora.so.$version" \
        "./usr/$libdir/libzelmora.so.$soversion") || fail "zelmora package contents"
  dev_files=$(contents "$dev")
  for f in "./usr/$libdir/libzelmora.a" "./usr/$libdir/libzelmora.so" ./usr/include/zelmora/clsin_intrabo.h ./usr/include/zelmora/version.h \
           "./usr/$libdir/cmake/zelmora/zelmoraConfig.cmake" "./usr/$libdir/pkgconfig/zelmora.pc"; do
    grep -qxF "$f" <<<"$dev_files" || fail "libzelmora-dev lacks $f"
  done
  depends=$(dpkg-deb -f "$runtime" Depends)
  for p in libsqlite3-0 libodbc libpangocairo-1.0-0 libcairo2 fonts-dejavu-core; do
    grep -q "$p" <<<"$depends" || fail "zelmora does not depend on $p: $depends"
  done
  depends=$(dpkg-deb -f "$dev" Depends)
  for p in "zelmora (= $version)" libsqlite3-dev unixodbc-dev libfmt-dev libpango1.0-dev; do
    grep -qF "$p" <<<"$depends" || fail "libzelmora-dev does not depend on $p: $depends"
  done
fi
echo "install check: passed"
