#!/usr/bin/env bash
# A second build with AddressSanitizer and UndefinedBehaviorSanitizer in its own
# folder (build-asan), warnings as errors, and the whole suite run in it. The
# first finding stops the test that made it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKKT_SANITIZE=ON -DKKT_WERROR=ON >/dev/null
cmake --build build-asan -j"$(nproc)"
cd build-asan
# Qt and the system libraries are not instrumented: their own leaks at exit are
# not ours to judge, so leak checking stays off.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
