#!/usr/bin/env bash
# Installs the Debian packages zelmora builds and tests with, when missing.
set -euo pipefail
packages=(build-essential cmake pkg-config libsqlite3-dev nlohmann-json3-dev libcli11-dev libfmt-dev
          libgtest-dev libgmock-dev sqlfluff clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
