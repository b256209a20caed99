#!/usr/bin/env bash
# Checks that the C++ sources follow the root .clang-format. Lists the files
# that differ and fails; `--fix` rewrites them instead. The layout depends on
# the clang-format version, so the check insists on the one the suite is
# formatted with (Debian's clang-format-14).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
want=14

tool=""
for candidate in clang-format-$want clang-format; do
    if command -v "$candidate" >/dev/null &&
        "$candidate" --version | grep -q "version $want\."; then
        tool=$candidate
        break
    fi
done
if [ -z "$tool" ]; then
    echo "check-format: clang-format $want is needed (tools/setup-deps.sh installs it)" >&2
    exit 1
fi

cd "$root"
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
    "$tool" -i "${files[@]}"
    exit 0
fi
report=$(mktemp)
trap 'rm -f "$report"' EXIT
if ! "$tool" --dry-run -Werror "${files[@]}" 2>"$report"; then
    grep -o '^[^:]*\.\(cpp\|h\):' "$report" | sort -u | sed 's/:$//; s/^/  differs: /' >&2
    echo "check-format: run tools/check-format.sh --fix" >&2
    exit 1
fi
