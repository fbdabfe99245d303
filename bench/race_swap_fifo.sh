#!/bin/bash
# Usage: bench/race_swap_fifo.sh build/bin/cinemork-list tests/data/clip-640x272.avi [RUNS]
# Races a clip swapped back and forth for a FIFO against `cinemork-list probe --stdin` asked for it
# 300 times, N runs; a run still going after 30 s hangs (counted, then killed).
bin=$1; clip=$2; n=${3:-25}
t=$(mktemp -d); hung=0; fifo=0; ok=0
cp $clip $t/real.avi
for run in $(seq $n); do
  cp $clip $t/clip.avi
  python3 -c '
import os, sys, time
d = sys.argv[1]
while True:
    os.mkfifo(d + "/tmp"); os.rename(d + "/tmp", d + "/clip.avi"); time.sleep(0.0005)
    os.link(d + "/real.avi", d + "/tmp"); os.rename(d + "/tmp", d + "/clip.avi"); time.sleep(0.0005)
' $t &
  swapper=$!
  sleep 0.05
  for i in $(seq 300); do printf '%s\0' $t/clip.avi; done | timeout 30 "$bin" probe --stdin > $t/out 2>/dev/null
  [ $? -eq 124 ] && hung=$((hung+1))
  kill $swapper; wait $swapper 2>/dev/null
  fifo=$((fifo + $(grep -c not-found $t/out))); ok=$((ok + $(grep -c 640x272 $t/out)))
  rm -f $t/clip.avi $t/tmp
done
echo "hung in $hung of $n runs; answers: $ok 640x272, $fifo not-found (the FIFO), $((n*300-ok-fifo)) other"
rm -rf $t
