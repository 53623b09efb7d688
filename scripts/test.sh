#!/usr/bin/env bash
# Builds everything and runs every test: first the core's tests and the fuzz
# targets under AddressSanitizer and UndefinedBehaviorSanitizer (clang, in
# build-san/), then the whole suite of the normal build (build/). Ends with
# ctest's summary line; the exit code is non-zero when any test failed.
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
"$top/scripts/deps.sh" || exit 1
"$top/scripts/check-layers.sh" || exit 1
jobs=$(nproc)

if [ ! -f build-san/build.ninja ]; then
    CC=clang-16 CXX=clang++-16 cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELT_SANITIZE=ON -DVELT_FUZZ=ON -DVELT_BUILD_GUI=OFF -DVELT_BUILD_BENCH=OFF >/dev/null || exit 1
fi
ninja -C build-san -j"$jobs" | grep -vE '^\[[0-9]+/[0-9]+\] '
[ "${PIPESTATUS[0]}" -eq 0 ] || { echo "sanitizer build failed"; exit 1; }
"$top/scripts/build.sh" || { echo "build failed"; exit 1; }

echo "== sanitizer build: core tests and fuzz targets =="
(cd build-san && ctest -j"$jobs" --output-on-failure)
san=$?
[ "$san" -eq 0 ] || echo "!! the sanitizer build's tests failed (see above)"
echo "== full build: every test =="
(cd build && QT_QPA_PLATFORM=offscreen ctest -j"$jobs" --output-on-failure)
full=$?
[ "$san" -eq 0 ] || exit 1
exit "$full"
