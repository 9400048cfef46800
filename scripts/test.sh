#!/usr/bin/env bash
# Installs what is missing, builds with the sanitizer preset, checks the format and lints the
# sources, builds the protocol core, the virtual instrument and the engine with clang (whose
# UndefinedBehaviorSanitizer sees overflows that GCC folds away) and runs their tests, and
# finally runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset debug
cmake --build --preset debug
bash scripts/lint.sh build/debug
cmake --preset clang-debug
cmake --build --preset clang-debug --target vr410_protocol_tests vr410_sim_tests engine_tests
ctest --preset clang-debug -R '^(protocol\.vr410_protocol_tests|sim\.vr410_sim_tests|engine\.engine_tests)$'
bash scripts/fuzz.sh 1000
ctest --preset debug
