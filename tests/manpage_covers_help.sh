#!/bin/sh
# Every command and option that PROGRAM's --help names is written in its manual page PAGE (roff source).
# Usage: manpage_covers_help.sh PROGRAM PAGE
set -eu
program=$1
page=$2
help=$("$program" --help)
name=$(basename "$program")
# The page as a reader sees its words: roff's escaped hyphens and font changes undone.
text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$page")

options=$(printf '%s\n' "$help" | grep -oE '(^|[][ ,|])--?[A-Za-z?][A-Za-z0-9-]*' | sed 's/^[][ ,|]*//' | sort -u)
commands=$(printf '%s\n' "$help" | sed -n "s/^ *$name \([a-z][a-z-]*\).*/\1/p" | sort -u)
[ -n "$options" ] || { echo "no option found in the output of $name --help"; exit 1; }

missing=0
for word in $options $commands; do
  if ! printf '%s\n' "$text" | grep -qwF -e "$word"; then
    echo "$page does not name \"$word\" from $name --help"
    missing=1
  fi
done
exit $missing
