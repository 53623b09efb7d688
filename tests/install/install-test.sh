#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the installed tree as
# a user and a desktop would meet it:
#   - every program, module, picture, icon size, desktop entry, metainfo,
#     manual page and the guide is where it belongs;
#   - desktop-file-validate and appstreamcli validate --no-net pass;
#   - each program answers --version with the project's version, and its
#     --help and its manual page come from the same text (every term of the
#     one is in the other);
#   - moved elsewhere, the prefix still works: velt-cli prints a card to PDF
#     through its module in ../lib/velt, and velt-demo starts the server and
#     the program (under Xvfb) on its own files in ../share/velt.
#
#   install-test.sh BUILD-DIR VERSION APP-ID
set -euo pipefail
build=$1
version=$2
app=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/velt_tcp bin/velt-cli bin/velt-server bin/velt-demo \
    lib/velt/velt-cli-print.so lib/velt/velt_example_converter.so \
    share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
    share/icons/hicolor/scalable/apps/$app.svg \
    share/velt/totop@2x.png share/velt/ikona.png share/velt/demo/zebra.cfg share/velt/demo/opis-marc.prg \
    share/velt/pomoc/index.html share/velt/screens/glowne-okno-indeks.png \
    share/doc/velt/examples/converter/example_converter.c \
    share/man/man1/velt-cli.1.gz share/man/man1/velt-server.1.gz share/man/man1/velt_tcp.1.gz \
    share/man/man1/velt-demo.1.gz; do
    [ -s "$prefix/$f" ] || fail "$f is not installed"
done
for s in 16 22 24 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${s}x$s/apps/$app.png"
    file "$icon" | grep -q "PNG image data, $s x $s," || fail "the icon of $s pixels: $(file "$icon")"
done
# The guide's links and pictures all lead somewhere.
for page in "$prefix"/share/velt/pomoc/*.html; do
    for link in $(grep -oE '(src|href)="[^"#:]+' "$page" | sed 's/^[a-z]*="//'); do
        [ -e "$(dirname "$page")/$link" ] || fail "$(basename "$page") links to $link, which is not installed"
    done
done

# The metainfo's screenshots are the README's pictures, installed with the guide.
shots=0
for shot in $(grep -o '<image>[^<]*</image>' "$prefix/share/metainfo/$app.metainfo.xml" | sed 's|</image>||; s|.*/||'); do
    shots=$((shots + 1))
    [ -s "$prefix/share/velt/screens/$shot" ] || fail "the metainfo's screenshot $shot is not among the pictures"
done
[ "$shots" -gt 0 ] || fail "the metainfo has no screenshots"

desktop-file-validate "$prefix/share/applications/$app.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$app.metainfo.xml" >"$work/as.out" 2>&1 ||
    { cat "$work/as.out"; fail "appstreamcli validate"; }

for p in velt_tcp velt-cli velt-server velt-demo; do
    got=$("$prefix/bin/$p" --version 2>&1) || fail "$p --version exits $?"
    [ "$got" = "$p $version" ] || fail "$p --version says \"$got\""
    "$prefix/bin/$p" --help >"$work/help" 2>&1 || fail "$p --help exits $?"
    head -1 "$work/help" | grep -q "^$p - " || fail "$p --help starts with \"$(head -1 "$work/help")\""
    # The page's source without troff's escapes; each term of --help is in it.
    gzip -dc "$prefix/share/man/man1/$p.1.gz" | sed -e 's/\\-/-/g' -e 's/\\f[BRI]//g' -e 's/\\e/\\/g' >"$work/page"
    grep -qxF -- "$(head -1 "$work/help")" "$work/page" || fail "$p.1 does not name the program as --help does"
    terms=0
    while IFS= read -r term; do
        terms=$((terms + 1))
        grep -qF -- "$term" "$work/page" || fail "$p: \"$term\" of --help is not in $p.1"
    done < <(sed -n 's/^  \([^ ].*\)$/\1/p' "$work/help" | sed 's/  .*//')
    [ "$terms" -gt 0 ] || fail "$p --help lists no options"
    # Every word of --help, as often as it stands there, is in the page too
    # (less the headings, which the page writes in capitals).
    sed -e 's/^usage: //' -e '/^[a-z][a-z ]*:$/d' "$work/help" | tr -s '[:space:]' '\n' | sort | uniq -c >"$work/help.words"
    sed -e '/^\.\\"/d' -e '/^\.TH /d' -e 's/^\.[A-Z][A-Z]* *//' -e 's/\\&//g' "$work/page" |
        tr -s '[:space:]' '\n' | sort | uniq -c >"$work/page.words"
    missing=$(awk 'NR == FNR { n[$2] = $1; next } $2 != "" && (n[$2] + 0) < $1 { print $2 }' \
        "$work/page.words" "$work/help.words" | head -5 | tr '\n' ' ')
    [ -z "$missing" ] || fail "$p: words of --help missing from $p.1: $missing"
    # man renders the page without complaint.
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$p.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man on $p.1: $warnings"
done
"$prefix/bin/velt-server" --bogus >/dev/null 2>"$work/usage" && fail "velt-server takes --bogus"
grep -q "^usage: velt-server" "$work/usage" || fail "velt-server's usage on a wrong option: $(head -1 "$work/usage")"

# Moved: the programs find their modules and files beside themselves.
moved="$work/elsewhere/usr"
mkdir -p "$(dirname "$moved")"
mv "$prefix" "$moved"
printf '[KARTA]\r\n[HASLO]\r\nPrus, Boleslaw\r\n[PARAGRAF]\r\nLalka.\r\n' >"$work/card.txt"
XDG_CONFIG_HOME="$work/config" "$moved/bin/velt-cli" cards --text "$work/card.txt" --out "$work/card.pdf" \
    >/dev/null 2>"$work/cards.err" || { cat "$work/cards.err"; fail "velt-cli cards from the moved prefix"; }
head -c 5 "$work/card.pdf" 2>/dev/null | grep -q '%PDF-' || fail "velt-cli cards wrote no PDF"

demo="$work/demo"
env -u DISPLAY -u WAYLAND_DISPLAY VELT_DEMO_DIR="$demo" VELT_DEMO_RECORDS=50 XDG_CONFIG_HOME="$work/config" \
    XDG_DATA_HOME="$work/data" timeout 120 "$moved/bin/velt-demo" >"$work/demo.out" 2>&1 ||
    { cat "$work/demo.out"; fail "velt-demo from the moved prefix"; }
[ -s "$demo/velt_tcp.png" ] || fail "velt-demo saved no picture of the main window"
grep -q "^listening on " "$demo/server.out" 2>/dev/null || fail "velt-demo's server did not listen"
if grep -q "^Z39.50: Zebra" "$work/demo.out"; then
    iconv -f CP1250 -t UTF-8 "$demo/VELT_TCP.INI" | grep -q "^U=$moved/bin/../share/velt/demo/opis-marc.prg" ||
        fail "velt-demo's configuration does not name the display format of the moved prefix"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures checks of the installed tree failed"
    exit 1
fi
echo "the installed tree is complete, valid and relocatable"
