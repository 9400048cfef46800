#!/usr/bin/env bash
# Checks the formatting of every C++ source (clang-format) and runs clang-tidy with the checks of
# .clang-tidy over the program's sources. Needs a configured and built tree for the compile
# commands (the debug preset's by default: scripts/test.sh builds it); pass another build folder
# as the first argument.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/debug}"

echo "Format check (clang-format)"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "Lint (clang-tidy)"
if [ ! -f "$build/compile_commands.json" ]; then
    echo "no $build/compile_commands.json: configure and build first" >&2
    exit 2
fi
# The sources of src/ that this platform compiles (the Win32 backends are not among them).
mapfile -t sources < <(python3 - "$build/compile_commands.json" <<'PY'
import json, os, sys
root = os.getcwd() + "/src/"
files = sorted({e["file"] for e in json.load(open(sys.argv[1])) if e["file"].startswith(root)})
print("\n".join(files))
PY
)
printf '%s\n' "${sources[@]}" |
    xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2> >(grep -v -E '^[0-9]+ warnings? generated|^Suppressed|^Use -header-filter' >&2)
echo "Lint passed: ${#sources[@]} sources"
