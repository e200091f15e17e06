#!/usr/bin/env bash
# Builds zelmora, creates the demo database and runs the main job on it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zelmora_program
mkdir -p out
rm -f out/demo.db
build/zelmora db demo out/demo.db
build/zelmora host examples/demo-company.json
