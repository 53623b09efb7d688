#!/usr/bin/env bash
# Fails when a layer reaches where it must not:
#  - the core (src/core, src/shared) includes a Qt header;
#  - the server includes anything of the client but the wire encoding and the
#    Windows-1250 headers of src/shared, and the formatting language's one
#    entry for modification programs (lang/RecordProgram.h);
#  - the gui includes one of its own headers without the "gui/" prefix.
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
bad=0
report() { echo "layering: $1"; bad=1; }

while IFS= read -r line; do
    report "the core includes Qt: $line"
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]*|Qt[A-Za-z]*/)' src/core src/shared)

shared_ok='^(wire/WireCodec\.h|text/Cp1250\.h|text/CpLiteral\.h|lang/RecordProgram\.h)$'
for f in $(find server -name '*.cpp' -o -name '*.h'); do
    while IFS= read -r inc; do
        name=${inc#*\"}; name=${name%\"*}
        [ -e "server/$name" ] && continue
        [ -e "$(dirname "$f")/$name" ] && continue
        [[ "$name" =~ $shared_ok ]] && continue
        [ "$name" = HelpText.h ] && continue  # generated from the server's own velt-server.help
        report "$f includes \"$name\""
    done < <(grep -hE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$f")
    if grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$f"; then report "$f includes Qt"; fi
done

for f in $(find src/gui src/app -name '*.cpp' -o -name '*.h'); do
    while IFS= read -r inc; do
        name=${inc#*\"}; name=${name%\"*}
        case "$name" in gui/*) continue ;; esac
        [ -e "src/gui/$name" ] && report "$f includes \"$name\" without the gui/ prefix"
    done < <(grep -hE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$f")
done

[ "$bad" -eq 0 ] && echo "layering: core without Qt, server on src/shared and lang/RecordProgram.h only, gui includes prefixed"
exit "$bad"
