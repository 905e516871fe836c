#!/usr/bin/env bash
# Checks the format, then builds and runs every test: the suite, the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the generators' output from an optimised clang
# build, the threading tests under ThreadSanitizer, and a bounded run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
jobs=$(nproc)
fuzz_runs=${ZYK_FUZZ_RUNS:-100000}

echo "== Format: every C++ file as the repository's .clang-format has it"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== Release build and tests"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZYK_WERROR=ON >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test -j"$jobs" --output-on-failure

echo "== Naming check (.clang-tidy) on every C++ source"
scripts/check-names.sh --all build/test

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DZYK_SANITIZE=ON -DZYK_WERROR=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan -j"$jobs" --output-on-failure

echo "== Clang, optimised: the generators write the wave ROM and the factory banks gcc's build writes"
cmake -S . -B build/clang -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZYK_WERROR=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/clang -j"$jobs" --target bankgen
ctest --test-dir build/clang -R '^(wavegen|bankgen)_' --output-on-failure

echo "== ThreadSanitizer: the tests that run threads against each other"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZYK_TSAN=ON -DZYK_WERROR=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/tsan -j"$jobs" --target zyk_k1lib_tests zyk_gui_tests zyk_vst3_tests zyk_editor_tests
threaded='*Thread*:*Stress*:*Concurren*'
for suite in build/tsan/tests/k1lib/zyk_k1lib_tests build/tsan/tests/gui/zyk_gui_tests \
  build/tsan/tests/vst3/zyk_vst3_tests build/tsan/tests/editor/zyk_editor_tests; do
  TSAN_OPTIONS=halt_on_error=1 "$suite" --gtest_filter="$threaded" --gtest_brief=1
done
# The wave ROM this build embedded is the one every other build embeds.
ctest --test-dir build/tsan -R '^wavegen_' --output-on-failure

echo "== Fuzz targets, $fuzz_runs runs each"
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZYK_FUZZ=ON -DZYK_TESTS=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j"$jobs"
# Starting inputs made by our own writers; each run grows a fresh corpus beside them.
rm -rf build/fuzz-seeds build/fuzz-corpus
build/test/tools/fuzzseeds/zyk_fuzzseeds build/fuzz-seeds
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "build/fuzz-corpus/$name"
  seeds=()
  [ -d "build/fuzz-seeds/$name" ] && seeds=("build/fuzz-seeds/$name")
  echo "-- $name"
  "$target" -runs="$fuzz_runs" -seed=1 -max_len=65536 "build/fuzz-corpus/$name" "${seeds[@]}" 2>&1 | tail -n 3
done
echo "All tests passed"
