#!/usr/bin/env bash
# Builds zelmora, creates the demo database and runs the main job on it:
# the telematic submission of the demo company's sales and purchases (both
# monthly) for March 2024, written into out/ in the layout in force since 2022.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zelmora_program
mkdir -p out
rm -f out/demo.db
build/zelmora db demo out/demo.db
build/zelmora declaration --db out/demo.db --company 1 --year 2024 --period 3 --list sales > out/declaration-sales.txt
head -n 12 out/declaration-sales.txt
echo "(the whole list is in out/declaration-sales.txt)"
# March 2024 is a period of the 2022 layout, which the job takes from the
# period: the file is the one a company files today.
build/zelmora telematic --db out/demo.db --company 1 --year 2024 --period 3 --lists both \
  --user ABCD --date 2024-04-10 --progressive 1 --submission 1 --vat 01234567890 --strict --out out
