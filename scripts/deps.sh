#!/usr/bin/env bash
# Installs the Debian packages zelmora builds and tests with, when missing.
set -euo pipefail
packages=(build-essential cmake pkg-config libsqlite3-dev nlohmann-json3-dev libcli11-dev libfmt-dev
          libgtest-dev libgmock-dev sqlfluff unixodbc-dev tdsodbc libsqliteodbc
          libcairo2-dev libpango1.0-dev fonts-dejavu-core poppler-utils clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The FreeTDS driver under the name that SQL Server connections ask for.
if ! odbcinst -q -d -n FreeTDS >/dev/null 2>&1; then
  odbcinst -i -d -f /usr/share/tdsodbc/odbcinst.ini >/dev/null
fi
