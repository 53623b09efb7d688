#!/usr/bin/env bash
# Builds and starts the reference catalogue server and the program connected
# to it. The server's catalogue is seeded on the first start in the data
# directory (VELT_DEMO_DIR, default ${XDG_DATA_HOME:-~/.local/share}/velt-demo),
# with VELT_DEMO_RECORDS records (default 20000); the program gets a
# generated configuration file whose catalogue entry points at the server.
# Two Z39.50 servers run beside it for "Rekord" → "Pobierz": Zebra over the
# MARC 21 sample of its examples (indexed on the first start) and yaz-ztest;
# the configuration names both, and the example converter module for
# "Konwertuj". Without a display the program runs under Xvfb and saves a
# picture of the main window to build/demo/velt_tcp.png. The servers stop
# when the program ends.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/deps.sh"
"$top/scripts/build.sh" velt_tcp velt-server velt_example_converter
cd "$top"

data="${VELT_DEMO_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/velt-demo}"
records="${VELT_DEMO_RECORDS:-20000}"
mkdir -p "$data/praca"
[ -f "$data/catalogue.db" ] || echo "first start: seeding $records records into $data/catalogue.db"

log="$data/server.log"
: > "$data/server.out"
build/server/velt-server --port 0 --db "$data/catalogue.db" --records "$records" --form-criterion-first \
    > "$data/server.out" 2> "$log" &
server=$!
zebra=""
ztest=""
stop() {
    kill -TERM $server 2>/dev/null; wait $server 2>/dev/null || true
    # The Z39.50 servers lead process groups of their own (their connections' processes with them).
    for p in $zebra $ztest; do kill -TERM -- "-$p" 2>/dev/null || true; done
}
trap stop EXIT
port=""
for _ in $(seq 1 1200); do
    port=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$data/server.out")
    [ -n "$port" ] && break
    kill -0 $server 2>/dev/null || { echo "the server did not start:"; cat "$log"; exit 1; }
    sleep 0.1
done
[ -n "$port" ] || { echo "the server did not start in time"; exit 1; }
echo "velt-server on 127.0.0.1:$port (catalogue $data/catalogue.db, log $log)"

# The Z39.50 sources, each on a free loopback port.
free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
z3950="$data/z3950"
mkdir -p "$z3950/zebra/register" "$z3950/zebra/lock" "$z3950/zebra/tmp" "$z3950/ztest"
cp tests/z3950/zebra.cfg tests/z3950/marc21.abs "$z3950/zebra/"
cp tests/z3950/dummy-words "$z3950/ztest/"
if [ ! -f "$z3950/zebra/sample.mrc" ]; then
    gzip -dc /usr/share/doc/idzebra-2.0/examples/marc21/sample-marc.gz > "$z3950/zebra/sample.mrc"
    (cd "$z3950/zebra" && zebraidx -c zebra.cfg -l zebraidx.log -d Default update sample.mrc)
fi
zport=$(free_port)
(cd "$z3950/zebra" && exec setsid zebrasrv -c zebra.cfg -l zebrasrv.log "tcp:127.0.0.1:$zport") &
zebra=$!
tport=$(free_port)
(cd "$z3950/ztest" && exec setsid yaz-ztest -l ztest.log "tcp:127.0.0.1:$tport") &
ztest=$!
echo "Z39.50: Zebra on 127.0.0.1:$zport (the MARC 21 sample), yaz-ztest on 127.0.0.1:$tport"

# The program's configuration: Windows-1250, one catalogue entry, the two
# Z39.50 sources in a group and the converter module of "Konwertuj".
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
    "" \
    "[Z3950_GRUPA_DEMO]" \
    "nazwa=Serwery na tym komputerze" \
    "[Z3950_KATALOG_DEMO_ZEBRA]" \
    "nazwa=Zebra (próbka MARC 21)" \
    "ip=127.0.0.1" \
    "port=$zport" \
    "baza=Default" \
    "v=1" \
    "q=2" \
    "[Z3950_KATALOG_DEMO_ZTEST]" \
    "nazwa=yaz-ztest" \
    "ip=127.0.0.1" \
    "port=$tport" \
    "baza=Default" \
    "v=1" \
    "q=0" \
    "[Z3950_FORMAT_OPIS]" \
    "nazwa=Opis" \
    "U=$top/scripts/z3950/opis-marc.prg" \
    "[Z3950_FORMAT_POLA]" \
    "nazwa=Pola rekordu" \
    "" \
    "[KONWERTER_MARC]" \
    "dll=$top/build/modules/example/velt_example_converter.so" \
    "z=U" \
    "do=K" \
    "rodzaj=K" \
    "tryb=katalog" \
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
