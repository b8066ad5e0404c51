#!/usr/bin/env bash
# Installs every Debian 12 package the build, the tests, the demo and the Debian package need, on any
# Debian 12 machine down to a minimal root: nothing is assumed to be there already (scripts/fresh-check.sh
# proves it). Idempotent: apt-get update runs only when a package is missing.
set -euo pipefail

packages=(
  cmake ninja-build pkg-config g++ git clang-format
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6svg6 qt6-qpa-plugins
  libsqlite3-dev sqlite3 libpq-dev postgresql openssl libcurl4-openssl-dev libxlsxwriter-dev
  zlib1g-dev
  dpkg-dev file
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth locales-all python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
