#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the tree differs from what clang-format makes of
# it with the tree's .clang-format. `scripts/check-format.sh --fix` formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
    mapfile -t files < <(find src tests bench tools \( -name '*.cpp' -o -name '*.h' \) | sort)
fi
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
    echo "check-format: these files differ from .clang-format (fix: scripts/check-format.sh --fix):" >&2
    grep -o '^[^:]*:[0-9]*:[0-9]*: error' <<<"$report" | cut -d: -f1 | sort -u | sed 's/^/  /' >&2
    exit 1
fi
echo "check-format: ${#files[@]} files follow .clang-format"
