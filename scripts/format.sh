#!/usr/bin/env bash
# clang-format on the C++ files changed against main (committed, staged or not).
# usage: format.sh check|fix
set -euo pipefail
mode=${1:-check}
cd "$(git rev-parse --show-toplevel)"
base=$(git merge-base HEAD main 2>/dev/null || git rev-list --max-parents=0 HEAD | tail -n1)
mapfile -t files < <({ git diff --name-only --diff-filter=ACMR "$base"; git ls-files --others --exclude-standard; } \
    | sort -u | grep -E '\.(cpp|h)$' || true)
[[ ${#files[@]} -eq 0 ]] && exit 0
if [[ $mode == fix ]]; then
    clang-format -i "${files[@]}"
else
    clang-format --dry-run --Werror "${files[@]}"
fi
