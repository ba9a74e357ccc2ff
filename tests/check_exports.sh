#!/usr/bin/env bash
# Compares the functions a shared library defines for export with those its
# header declares; prints both lists' differences and fails on any.
set -euo pipefail
lib=$1 header=$2
declared=$(grep -oE '^[A-Z]+_API [^(]*\b([A-Za-z0-9_]+)\(' "$header" | sed -E 's/.*[ *]([A-Za-z0-9_]+)\($/\1/' | sort -u)
exported=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[TWi]$/ {print $3}' | sort -u)
if [ "$declared" != "$exported" ]; then
  echo "declared but not exported:"; comm -23 <(echo "$declared") <(echo "$exported")
  echo "exported but not declared:"; comm -13 <(echo "$declared") <(echo "$exported")
  exit 1
fi
echo "$(echo "$declared" | wc -l) exports match $header"
