#!/usr/bin/env bash
# Builds and starts the reference catalogue server and the program connected
# to it. The server's catalogue is seeded on the first start in the data
# directory (VELT_DEMO_DIR, default ${XDG_DATA_HOME:-~/.local/share}/velt-demo),
# with VELT_DEMO_RECORDS records (default 20000); the program gets a
# generated configuration file whose catalogue entry points at the server.
# Without a display the program runs under Xvfb and saves a picture of the
# main window to build/demo/velt_tcp.png. The server stops when the program ends.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/deps.sh"
"$top/scripts/build.sh" velt_tcp velt-server
cd "$top"

data="${VELT_DEMO_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/velt-demo}"
records="${VELT_DEMO_RECORDS:-20000}"
mkdir -p "$data/praca"
[ -f "$data/catalogue.db" ] || echo "first start: seeding $records records into $data/catalogue.db"

log="$data/server.log"
: > "$data/server.out"
build/server/velt-server --port 0 --db "$data/catalogue.db" --records "$records" \
    > "$data/server.out" 2> "$log" &
server=$!
trap 'kill -TERM $server 2>/dev/null; wait $server 2>/dev/null || true' EXIT
port=""
for _ in $(seq 1 1200); do
    port=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$data/server.out")
    [ -n "$port" ] && break
    kill -0 $server 2>/dev/null || { echo "the server did not start:"; cat "$log"; exit 1; }
    sleep 0.1
done
[ -n "$port" ] || { echo "the server did not start in time"; exit 1; }
echo "velt-server on 127.0.0.1:$port (catalogue $data/catalogue.db, log $log)"

# The program's configuration: Windows-1250, one catalogue entry.
ini="$data/VELT_TCP.INI"
printf '%s\r\n' \
    "[KATALOG_DEMO]" \
    "nazwa=Katalog demonstracyjny" \
    "ip=127.0.0.1" \
    "port=$port" \
    "user=" \
    "" \
    "[KOLEKCJA]" \
    "ścieżka=$data/praca" \
    | iconv -f UTF-8 -t CP1250 > "$ini"
echo "configuration: $ini"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    build/src/app/velt_tcp "$ini" "$@"
    exit $?
fi
mkdir -p build/demo
shot="$top/build/demo/velt_tcp.png"
echo "no display: running under Xvfb; the main window is saved to $shot"
xvfb-run -a -s "-screen 0 1280x800x24" build/src/app/velt_tcp "$ini" "$@" --screenshot "$shot"
