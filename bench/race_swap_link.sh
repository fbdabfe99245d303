#!/bin/bash
# Usage: bench/race_swap_link.sh build/bin/cinemork-list [RUNS]
# One swapper (a folder and a link out of the tree trade places every millisecond) against N scans.
bin=$1; n=${2:-60}
t=$(mktemp -d); mkdir -p $t/disc $t/outside
for i in $(seq 300); do mkdir -p $t/disc/f$i; : > $t/disc/f$i/Film$i.avi; done
a=$(ls -f $t/disc | grep -v '^\.' | head -1); : > $t/disc/$a/In.avi; ln -s $t/outside $t/disc/.lnk; : > $t/outside/Far.avi
python3 -c '
import os, sys, time
d, a = sys.argv[1], sys.argv[2]
while True:
    time.sleep(0.001); os.rename(d + "/" + a, d + "/.dir"); os.rename(d + "/.lnk", d + "/" + a)
    time.sleep(0.001); os.rename(d + "/" + a, d + "/.lnk"); os.rename(d + "/.dir", d + "/" + a)
' $t/disc $a & sw=$!; sleep 0.3
escaped=0; met=0; inside=0
for k in $(seq $n); do
  "$bin" scan $t/disc > $t/out 2>$t/err
  grep -q Far $t/out && escaped=$((escaped+1)); grep -q In $t/out && inside=$((inside+1)); grep -q "could not be read" $t/err && met=$((met+1))
done
kill $sw; wait $sw 2>/dev/null; rm -rf $t
echo "escaped the tree in $escaped of $n runs; the folder listed and walked in $inside, listed then swapped for the link (named unreadable) in $met"
