#!/usr/bin/env bash
# Installs what is missing, builds the release preset and starts the program on the virtual instrument.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset release
cmake --build --preset release --target VR410
exec ./build/release/src/shell/VR410 --virtual "$@"
