#!/usr/bin/env bash
# Builds the program and starts it on its default base.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DTESSARIN_BENCH=OFF > /dev/null
cmake --build build-release -j"$(nproc)"
program=build-release/app/Tessarin
if [ ! -x "$program" ]; then
  echo "the program is not built yet" >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No screen here: give the program a virtual one.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$program"
fi
exec "$program"
