#!/usr/bin/env bash
# Pictures of the program's windows for the README: starts velt-server on a
# temporary catalogue, drives the program to a few states (an index tab, the
# elementary query window, the remote collection after a search, a report's
# parameter form and its text, the picture viewer, a catalogue card with its
# settings and correction windows, the editing window after a librarian's
# login, the authority windows and the record chooser, a reader's
# identification and account, the closed orders) and saves them into
# docs/screens/. Runs under Xvfb when there is no display. Run it again when
# the windows change.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/deps.sh"
"$top/scripts/build.sh" velt-screens velt-server
cd "$top"
work=$(mktemp -d)
trap 'kill -TERM ${server:-0} 2>/dev/null; wait ${server:-0} 2>/dev/null || true; rm -rf "$work"' EXIT
build/server/velt-server --port 0 --db "$work/catalogue.db" --records 2000 > "$work/server.out" 2> "$work/server.log" &
server=$!
port=""
for _ in $(seq 1 600); do
    port=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$work/server.out")
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "the server did not start"; cat "$work/server.log"; exit 1; }
mkdir -p "$work/praca" docs/screens
printf '%s\r\n' "[KATALOG_DEMO]" "nazwa=Katalog demonstracyjny" "ip=127.0.0.1" "port=$port" "" \
    "[KOLEKCJA]" "ścieżka=$work/praca" | iconv -f UTF-8 -t CP1250 > "$work/VELT_TCP.INI"
if [ -n "${DISPLAY:-}" ]; then
    build/tools/screens/velt-screens "$work/VELT_TCP.INI" "$top/docs/screens"
else
    xvfb-run -a -s "-screen 0 1280x1100x24" build/tools/screens/velt-screens "$work/VELT_TCP.INI" "$top/docs/screens"
fi
ls -l docs/screens
