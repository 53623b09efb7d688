#!/usr/bin/env bash
# Builds and starts the program. Without a display it runs under Xvfb and
# saves a picture of the main window to build/demo/velt_tcp.png.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/deps.sh"
"$top/scripts/build.sh" velt_tcp
cd "$top"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/src/app/velt_tcp "$@"
fi
mkdir -p build/demo
shot="$top/build/demo/velt_tcp.png"
echo "no display: running under Xvfb; the main window is saved to $shot"
exec xvfb-run -a -s "-screen 0 1280x800x24" build/src/app/velt_tcp "$@" --screenshot "$shot"
