#!/usr/bin/env bash
# Builds Vilorka and runs every test headless: once as a normal build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer; then builds the fuzz targets with clang and
# fuzzes each for FUZZ_SECONDS (30) seconds. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
vilorka_install_deps libbenchmark-dev xvfb openbox x11-utils desktop-file-utils appstream \
    clang libfuzzer-14-dev libclang-rt-14-dev clang-format

echo "== formatting"
# The C++ sources keep the committed .clang-format style; a file that drifts fails here.
git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'fuzz/*.cpp' 'fuzz/*.h' |
    xargs -0 clang-format --dry-run --Werror

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== build and test (warnings as errors)"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== fuzz targets: seed corpora, then ${FUZZ_SECONDS:-30} s each"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz
# New inputs go to a scratch corpus; the committed seeds are only read. A failing input is kept
# in build-fuzz/artifacts/ to reproduce with: build-fuzz/fuzz/<target> <file>
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p build-fuzz/artifacts
for target in fuzz_text_to_real fuzz_text_to_int fuzz_real_text fuzz_engine fuzz_words; do
    mkdir "$scratch/$target"
    if ! build-fuzz/fuzz/$target -max_total_time="${FUZZ_SECONDS:-30}" -max_len=4096 -timeout=10 \
        -artifact_prefix=build-fuzz/artifacts/ "$scratch/$target" "fuzz/corpus/$target" \
        >"$scratch/$target.log" 2>&1; then
        tail -n 40 "$scratch/$target.log"
        echo "$target failed; the input is in build-fuzz/artifacts/" >&2
        exit 1
    fi
    echo "$target: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$scratch/$target.log" | tail -n 1)"
done
