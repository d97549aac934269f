#!/usr/bin/env bash
# Fails when a source file differs from the project's .clang-format, naming the files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
    mapfile -t files < <(find src tests sim cli bench -name '*.cpp' -o -name '*.h')
fi
differing=()
for file in "${files[@]}"; do
    [ -f "$file" ] || continue
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || differing+=("$file")
done
if [ ${#differing[@]} -gt 0 ]; then
    echo "check-format: these files differ from .clang-format (clang-format -i FILE mends them):" >&2
    printf '    %s\n' "${differing[@]}" >&2
    exit 1
fi
