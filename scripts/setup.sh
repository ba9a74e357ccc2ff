#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the
# program need and the machine lacks.  Safe to run again: it installs nothing
# that is already there.
set -euo pipefail
packages=(
  build-essential cmake pkg-config binutils
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev
  libmuparser-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
  units python3
  xvfb xauth
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
