#!/usr/bin/env bash
# The naming check of .clang-tidy over our C++ sources: those changed since main (a changed
# header brings every source that includes it), or the whole tree with --all.
#   scripts/check-names.sh [--all] [BUILD_DIR]     (BUILD_DIR holds compile_commands.json)
set -euo pipefail
cd "$(dirname "$0")/.."
all=0
if [ "${1:-}" = --all ]; then all=1; shift; fi
build=${1:-build/test}
[ -f "$build/compile_commands.json" ] || { echo "check-names.sh: no $build/compile_commands.json; configure first" >&2; exit 2; }
compiled=$(grep -o '"file": "[^"]*"' "$build/compile_commands.json" | sed 's/"file": "//;s/"$//' |
  sed "s|^$PWD/||" | grep -v '^/' | grep '\.cpp$' | sort -u)
if [ $all = 1 ]; then
  wanted=$compiled
else
  base=$(git merge-base HEAD main 2>/dev/null || git rev-parse HEAD)
  changed=$({ git diff --name-only "$base" -- '*.cpp' '*.h'; git ls-files -o --exclude-standard '*.cpp' '*.h'; } | sort -u)
  wanted=$(for f in $changed; do
    [ -f "$f" ] || continue
    case "$f" in
      *.cpp) echo "$f" ;;
      *.h) git grep -l --fixed-strings "\"$f\"" -- '*.cpp' || true ;;
    esac
  done | sort -u)
  wanted=$(comm -12 <(echo "$compiled") <(echo "$wanted"))
fi
[ -n "$wanted" ] || { echo "check-names.sh: nothing to check"; exit 0; }
echo "check-names.sh: $(echo "$wanted" | wc -l) sources"
echo "$wanted" | xargs -P "${ZYK_TIDY_JOBS:-$(nproc)}" -n 8 clang-tidy -p "$build" --quiet --extra-arg=-w 2>/dev/null
