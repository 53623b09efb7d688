#!/usr/bin/env bash
# Builds the Debian package from a clean clone of the checked-out commit (what
# is committed, nothing else): the programs without the tests and benchmarks,
# then `cpack -G DEB`. The package is left in build-package/ (or
# VELT_PACKAGE_DIR) and its name printed; install it with
#   apt-get install ./build-package/velt_VERSION_ARCH.deb
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/deps.sh"
out="${VELT_PACKAGE_DIR:-$top/build-package}"
clone="$out/clone"
rm -rf "$clone"
mkdir -p "$out"
git clone -q --no-checkout "$top" "$clone"
git -C "$clone" checkout -q "$(git -C "$top" rev-parse HEAD)"
cmake -S "$clone" -B "$clone/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELT_BUILD_TESTS=OFF -DVELT_BUILD_BENCH=OFF >/dev/null
ninja -C "$clone/build" -j"$(nproc)" | grep -vE '^\[[0-9]+/[0-9]+\] ' || true
test "${PIPESTATUS[0]}" -eq 0
(cd "$clone/build" && cpack -G DEB >/dev/null)
deb=$(cd "$clone/build" && ls velt_*.deb)
mv "$clone/build/$deb" "$out/"
rm -rf "$clone"
echo "$out/$deb"
