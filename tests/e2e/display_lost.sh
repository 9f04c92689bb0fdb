#!/usr/bin/env bash
# The X server goes away under a running demo (run it under
# scripts/with-xvfb.sh, which names the server's process): the demo must be
# gone within 2 s, with status 1, and say why on standard error.
#   display_lost.sh RUNNER X_INPUT DATA_DIR SIGNAL   (the signal the server gets)
set -u
runner=$1 x_input=$2 data=$3 signal=$4
workdir=$(mktemp -d)
cp -r "$data"/. "$workdir"/
cd "$workdir" || exit 1

"$runner" 2>"$workdir/stderr.txt" &
demo=$!
trap 'kill -KILL "$demo" 2>/dev/null; rm -rf "$workdir"' EXIT

fail() {
  echo "display lost: $*"
  cat "$workdir/stderr.txt"
  exit 1
}

# Running, and not merely waiting to be reaped (the name has no spaces).
running() {
  local state
  read -r _ _ state _ <"/proc/$demo/stat" 2>/dev/null && [ "$state" != Z ]
}
elapsed_ms() { echo $((($(date +%s%N) - stopped) / 1000000)); }

"$x_input" wait-window Qeb 60 || fail "the window never appeared"
sleep 1  # the show is on
kill -"$signal" "$QEB_XVFB_PID" || fail "no X server to take away"
stopped=$(date +%s%N)
while running && [ "$(elapsed_ms)" -lt 2000 ]; do sleep 0.05; done
milliseconds=$(elapsed_ms)
running && fail "still running $milliseconds ms after the X server got SIG$signal"
wait "$demo"
code=$?
echo "SIG$signal to the X server: the demo ended within $milliseconds ms with status $code"
[ "$code" = 1 ] || fail "exit code $code, expected 1"
grep -q '^X connection to .* broken' "$workdir/stderr.txt" || fail "no word of the lost display"
echo "display lost: passed"
