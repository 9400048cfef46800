#!/usr/bin/env bash
# Installs what is missing, builds with the sanitizer preset and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset debug
cmake --build --preset debug
ctest --preset debug
