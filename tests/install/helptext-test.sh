#!/usr/bin/env bash
# velt-helptext: a help text laid out as --help prints it becomes a manual
# page with the same words, and one it cannot read whole fails the build
# instead of losing lines from the page.
#
#   helptext-test.sh VELT-HELPTEXT
set -uo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

good='prog - does things

usage: prog [--a] FILE
       prog --help

Running text, with a backslash \ and a line
.starting with a dot.

options:
  --a               the first option
                    going on here
  --b N
                    a term alone on its line
  -x
  -y                two terms, one description

see also:
other(1)'
printf '%s\n' "$good" >"$work/good.help"
"$tool" "$work/good.help" 1.2.3 "$work/HelpText.h" "$work/prog.1" || fail "a good text was refused"
grep -qF 'inline constexpr char kProgramVersion[] = "1.2.3";' "$work/HelpText.h" || fail "no version in the header"
grep -qF "$good" "$work/HelpText.h" || fail "the header does not hold the text as it stands"
expect=('.TH PROG 1 "" "velt 1.2.3" "User Commands"' 'prog \- does things' '.SH SYNOPSIS' '\fBprog\fR \-\-help'
    '.SH OPTIONS' '\fB\-\-a\fR' 'going on here' '.TQ' '\fB\-y\fR' 'backslash \e and' '\&.starting with a dot.'
    '.SH SEE ALSO')
for line in "${expect[@]}"; do
    grep -qF -- "$line" "$work/prog.1" || fail "the page lacks: $line"
done
if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$work/prog.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man warns: $warnings"
fi

# Texts that would lose or garble words in the page.
bad=(
    $'prog: no summary\n\nusage: prog'
    $'prog - x\n\nno usage line'
    $'prog - x\n\nusage: prog\n\noptions:\n  --a\n'
    $'prog - x\n\nusage: prog\n\n  --a      an item before any heading'
    $'prog - x\n\nusage: prog\n\noptions:\n                    a description without a term'
    $'prog - x\n\nusage: prog\n\noptions:\n  --a\twith a tab'
    $'prog - x\n\nusage: prog\n\ntext )velthelp" that would end the header early'
)
for text in "${bad[@]}"; do
    printf '%s\n' "$text" >"$work/bad.help"
    if "$tool" "$work/bad.help" 1 "$work/bad.h" "$work/bad.1" 2>"$work/err"; then
        fail "accepted: $(printf '%q' "$text")"
    elif ! grep -q . "$work/err"; then
        fail "refused without saying why: $(printf '%q' "$text")"
    fi
done

if [ "$failures" -ne 0 ]; then
    echo "$failures checks of velt-helptext failed"
    exit 1
fi
echo "velt-helptext: pages as the texts say, faulty texts refused"
