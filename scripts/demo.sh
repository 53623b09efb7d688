#!/usr/bin/env bash
# Builds and starts the reference catalogue server and the program connected
# to it, from the build tree: velt-demo (data/velt-demo.in, what an installed
# package runs) with the build's programs, module and files. The server's
# catalogue is seeded on the first start in the data directory (VELT_DEMO_DIR,
# default ${XDG_DATA_HOME:-~/.local/share}/velt-demo), with VELT_DEMO_RECORDS
# records (default 20000); the program gets a generated configuration file
# whose catalogue entry points at the server. Two Z39.50 servers run beside
# it for "Rekord" → "Pobierz": Zebra over the MARC 21 sample of its examples
# (indexed on the first start) and yaz-ztest; the configuration names both,
# and the example converter module for "Konwertuj". Without a display the
# program runs under Xvfb and saves a picture of the main window to
# build/demo/velt_tcp.png. The servers stop when the program ends.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/deps.sh"
"$top/scripts/build.sh" velt_tcp velt-server velt_example_converter velt_demo
cd "$top"

export VELT_DEMO_DIR="${VELT_DEMO_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/velt-demo}"
export VELT_DEMO_SERVER="$top/build/server/velt-server"
export VELT_DEMO_PROGRAM="$top/build/src/app/velt_tcp"
export VELT_DEMO_CONVERTER="$top/build/modules/example/velt_example_converter.so"
export VELT_DEMO_FILES="$top/build/data/demo"
export VELT_DEMO_SCREENSHOT="$top/build/demo/velt_tcp.png"
exec "$top/build/data/velt-demo" "$@"
