#!/usr/bin/env bash
# Builds every tests/fuzz/fuzz_<library>_*.cpp with libFuzzer against its
# library's sources and runs it for a short, bounded time.
#
# clang cannot convert narrow literals to Windows-1251 the way GCC's
# -fexec-charset does, so the sources are first recoded into the build tree;
# clang then keeps the Windows-1251 bytes of the literals as they stand.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
out=build-fuzz
rm -rf "$out/src"
mkdir -p "$out/src"
for dir in include solver base draw tests/fuzz; do
  find "$dir" -name '*.h' -o -name '*.cpp' | while read -r f; do
    mkdir -p "$out/src/$(dirname "$f")"
    iconv -f UTF-8 -t CP1251//TRANSLIT "$f" > "$out/src/$f"
  done
done
shopt -s nullglob
targets=("$out"/src/tests/fuzz/fuzz_*.cpp)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets"
  exit 0
fi
for target in "${targets[@]}"; do
  name=$(basename "$target" .cpp)
  lib=$(echo "$name" | cut -d_ -f2)
  upper=$(echo "$lib" | tr a-z A-Z)
  echo "-- $name (${seconds}s)"
  clang++ -std=c++20 -O1 -g -w -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -D"${upper}_BUILD" -I"$out/src/include" -I"$out/src/$lib" -I"$out/src" \
    "$target" "$out"/src/"$lib"/*.cpp -lpthread -o "$out/$name"
  mkdir -p "$out/corpus/$name"
  seeds=tests/fuzz/seeds/$name
  [ -d "$seeds" ] || seeds=
  "$out/$name" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=10 \
    "$out/corpus/$name" $seeds > "$out/$name.log" 2>&1 || { tail -50 "$out/$name.log"; exit 1; }
  tail -1 "$out/$name.log"
done
echo "fuzzing: ${#targets[@]} passed, 0 failed"
