#!/bin/bash
# What Tab offers on cinemork-list's command lines, word by word.
# Usage: completion_test.sh COMPLETION-SCRIPT
set -u
framework=/usr/share/bash-completion/bash_completion
if [ ! -r "$framework" ]; then
  echo "bash-completion is not installed: nothing to complete with"
  exit 77
fi
source "$framework"
source "$1"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
mkdir movies
touch list.html old.htm movies.csv style.css clip.avi

failed=0
# line typed (the cursor at its end) | what Tab offers, sorted
while IFS='|' read -r line expected; do
  [ -z "$line" ] && continue
  COMP_LINE=$line
  COMP_POINT=${#line}
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _cinemork_list
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
  if [ "$got" != "$expected" ]; then
    echo "\"$line\": offered \"$got\", expected \"$expected\""
    failed=1
  fi
done <<'CASES'
cinemork-list |--help check dump duplicates import probe scan stats write
cinemork-list import old.gcs --format |csv datacrow gcs griffith nfo tc
cinemork-list s|scan stats
cinemork-list duplicates |list.html movies old.htm
cinemork-list stats list.html --format |csv json
cinemork-list dump |list.html movies old.htm
cinemork-list dump list.html --|--format
cinemork-list dump list.html --format |csv json
cinemork-list dump list.html --format csv |
cinemork-list write |list.html movies old.htm
cinemork-list write out.html --|--columns --css --from --index --title --widths
cinemork-list write out.html --title Discs --index 1 --|--columns --css --from --widths
cinemork-list write out.html --from |movies movies.csv
cinemork-list write out.html --css |movies style.css
cinemork-list write out.html --index |0 1
cinemork-list write out.html --title |
cinemork-list probe |clip.avi list.html movies movies.csv old.htm style.css
cinemork-list probe --|--stdin
cinemork-list probe clip.avi --|
cinemork-list probe --stdin |
cinemork-list scan |movies
cinemork-list scan movies --|--location --probe
cinemork-list scan movies --probe --|--location
cinemork-list scan movies --location |
cinemork-list check |movies
cinemork-list check movies --|--format --list
cinemork-list check movies --list |list.html movies old.htm
cinemork-list check movies --list list.html --format |csv json
cinemork-list frobnicate |
CASES
exit $failed
