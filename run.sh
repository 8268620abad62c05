#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player: ./run.sh [file]
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
# Configure once; after that the build reconfigures itself when a CMake file changes.
[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$(nproc)"
exec build/bin/Kalvor "$@"
