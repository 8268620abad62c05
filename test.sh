#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   ./test.sh             the normal build in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

dir=build
options=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  options=(-DKALVOR_SANITIZE=ON)
  supp="$PWD/tests/sanitizers"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp"
elif [ -n "${1:-}" ]; then
  echo "usage: $0 [--sanitize]" >&2
  exit 2
fi

cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" --timeout 600
