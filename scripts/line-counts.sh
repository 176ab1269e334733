#!/usr/bin/env bash
# Source and test lines per folder, and their ratio. Counts non-blank C++ lines
# (.cpp .cc .h .hpp) that are not whole-line // comments, of files git tracks.
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
  git ls-files -- "$1" | grep -E '\.(cpp|cc|h|hpp)$' | xargs -r cat | grep -cvE '^\s*(//.*)?$' || true
}

printf '%-10s %8s %8s %7s\n' folder src tests ratio
total_src=0
total_tests=0
for dir in protocol model render viewer dialogs host server; do
  s=$(count "src/$dir")
  t=$(count "tests/$dir")
  [ "$s" -eq 0 ] && [ "$t" -eq 0 ] && continue
  total_src=$((total_src + s))
  total_tests=$((total_tests + t))
  ratio=-
  [ "$s" -gt 0 ] && ratio="$((100 * t / s)) %"
  printf '%-10s %8d %8d %7s\n' "$dir" "$s" "$t" "$ratio"
done
# Test folders with no source folder of their own (the shared rigs, the fuzzing
# harnesses and their corpus replay).
for dir in tests/support fuzz; do
  t=$(count "$dir")
  total_tests=$((total_tests + t))
  printf '%-10s %8s %8d %7s\n' "${dir#tests/}" - "$t" -
done
printf '%-10s %8d %8d %5d %%\n' all "$total_src" "$total_tests" $((100 * total_tests / total_src))
