#!/usr/bin/env bash
# scripts/fuzz.sh TARGET [SECONDS]   runs one libFuzzer target (fuzz/TARGET.cpp)
# scripts/fuzz.sh --all [SECONDS]    runs every target in turn
# Builds the core with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz first. The committed seeds (fuzz/corpus/TARGET) are only read; what
# the run adds goes to build-fuzz/corpus/TARGET. A finding is written to
# build-fuzz/findings/ and the script fails: add it to the ordinary tests.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] || { echo "usage: scripts/fuzz.sh TARGET|--all [SECONDS]" >&2; exit 64; }
target=$1
seconds=${2:-60}
scripts/deps.sh clang libclang-rt-14-dev
if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKKT_FUZZ=ON \
    -DKKT_WERROR=ON >/dev/null
fi
cmake --build build-fuzz -j"$(nproc)"
targets=()
if [ "$target" = "--all" ]; then
  for source in fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
else
  [ -f "fuzz/$target.cpp" ] || { echo "no fuzz target $target" >&2; exit 64; }
  targets=("$target")
fi
# Lean allocation bookkeeping: the big readers make many small strings. To see
# a finding with full stacks, run its target on the file with ASAN_OPTIONS unset.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:malloc_context_size=2:quarantine_size_mb=16"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p build-fuzz/findings
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t"
  echo "== $t: ${seconds} s"
  build-fuzz/bin/"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$t-" "build-fuzz/corpus/$t" "fuzz/corpus/$t" 2>&1 \
    | grep -vE '^#[0-9]+\s+(NEW|REDUCE|pulse)' || { echo "$t: finding in build-fuzz/findings/" >&2; exit 1; }
done
