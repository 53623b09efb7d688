#!/usr/bin/env bash
# Pictures of the program's windows for the README and the user's guide
# (docs/pomoc): starts velt-server on a temporary catalogue and Zebra over the
# MARC 21 sample, drives the program to a few states (an index tab, the
# elementary query window, the remote collection after a search, a report's
# parameter form and its text, the picture viewer, a catalogue card with its
# settings and correction windows, the editing window after a librarian's
# login, the authority windows and the record chooser, the list and tree
# choices of the form scripts, a reader's identification and account, the
# closed orders, the Z39.50 query form, its results and a record taken from
# them into the editing window, the administrator's program window with a
# program loaded) and saves them into docs/screens/. Runs under Xvfb when there
# is no display. Run it again when the windows change.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/deps.sh"
"$top/scripts/build.sh" velt-screens velt-server velt_example_converter
cd "$top"
work=$(mktemp -d)
trap 'kill -TERM ${server:-0} ${central:-0} 2>/dev/null; wait ${server:-0} ${central:-0} 2>/dev/null || true; [ -n "${zebra:-}" ] && kill -TERM -- "-$zebra" 2>/dev/null; rm -rf "$work"' EXIT
build/server/velt-server --port 0 --db "$work/catalogue.db" --records 2000 --form-criterion-first > "$work/server.out" 2> "$work/server.log" &
server=$!
port=""
for _ in $(seq 1 600); do
    port=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$work/server.out")
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "the server did not start"; cat "$work/server.log"; exit 1; }
# A second catalogue of another kind, the source of "Systemy VELT".
build/server/velt-server --port 0 --db "$work/centralna.db" --kind VELT3 --records 400 > "$work/centralna.out" 2> "$work/centralna.log" &
central=$!
cport=""
for _ in $(seq 1 600); do
    cport=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$work/centralna.out")
    [ -n "$cport" ] && break
    sleep 0.1
done
[ -n "$cport" ] || { echo "the second catalogue did not start"; cat "$work/centralna.log"; exit 1; }
# Zebra over the MARC 21 sample, as the demo has it.
mkdir -p "$work/zebra/register" "$work/zebra/lock" "$work/zebra/tmp"
cp tests/z3950/zebra.cfg tests/z3950/marc21.abs "$work/zebra/"
gzip -dc /usr/share/doc/idzebra-2.0/examples/marc21/sample-marc.gz > "$work/zebra/sample.mrc"
(cd "$work/zebra" && zebraidx -c zebra.cfg -l zebraidx.log -d Default update sample.mrc)
zport=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
(cd "$work/zebra" && exec setsid zebrasrv -c zebra.cfg -l zebrasrv.log "tcp:127.0.0.1:$zport") &
zebra=$!
mkdir -p "$work/praca" docs/screens
printf '%s\r\n' "[KATALOG_DEMO]" "nazwa=Katalog demonstracyjny" "ip=127.0.0.1" "port=$port" "" \
    "[KOLEKCJA]" "ścieżka=$work/praca" "" \
    "[RTK_GRUPA_SIEC]" "nazwa=Sieć bibliotek" "[RTK_KATALOG_SIEC_CENTRALNA]" "nazwa=Biblioteka centralna" \
    "ip=127.0.0.1" "port=$cport" "" \
    "[Z3950_KATALOG_ZEBRA]" "nazwa=Zebra (próbka MARC 21)" "ip=127.0.0.1" "port=$zport" "baza=Default" "v=1" "q=2" \
    "[Z3950_FORMAT_OPIS]" "nazwa=Opis" "U=$top/scripts/z3950/opis-marc.prg" \
    "[KONWERTER_MARC]" "dll=$top/build/modules/example/velt_example_converter.so" "z=U" "do=K" "rodzaj=K" \
    "tryb=katalog" \
    | iconv -f UTF-8 -t CP1250 > "$work/VELT_TCP.INI"
if [ -n "${DISPLAY:-}" ]; then
    build/tools/screens/velt-screens "$work/VELT_TCP.INI" "$top/docs/screens"
else
    xvfb-run -a -s "-screen 0 1280x1100x24" build/tools/screens/velt-screens "$work/VELT_TCP.INI" "$top/docs/screens"
fi
ls -l docs/screens
