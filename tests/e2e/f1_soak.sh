#!/usr/bin/env bash
# F1 pressed again and again while a busy process takes the other core, on an
# X server that resets once its last client has left (run it under
# scripts/with-xvfb.sh --resetting). Each press must replace the window, the
# demo must hold as much at the end as at the start (the server's clients and
# their windows, GL contexts and other resources; the demo's sockets and
# threads), and Escape then ends it with 27.
#   f1_soak.sh RUNNER X_INPUT DATA_DIR PRESSES   (PRESSES even: it ends in the mode it began in)
set -u
. "$(dirname "$0")/until_ended.sh"
runner=$1 x_input=$2 data=$3 presses=$4
workdir=$(mktemp -d)
cp -r "$data"/. "$workdir"/
cd "$workdir"

"$runner" 2>"$workdir/boxes.txt" &
demo=$!
(while :; do :; done) &
busy=$!
trap 'kill "$busy" "$demo" 2>/dev/null; rm -rf "$workdir"' EXIT

# What the demo holds: the server's view, then the process's.
held() {
  "$x_input" resources
  echo "sockets $(find "/proc/$demo/fd" -lname 'socket:*' 2>/dev/null | wc -l)"
  echo "threads $(find "/proc/$demo/task" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)"
}

fail() {
  echo "f1 soak: $*"
  cat "$workdir/boxes.txt"
  exit 1
}

"$x_input" wait-window Qeb 60 || fail "the window never appeared"
sleep 1  # the first frames
held >"$workdir/before.txt"
started=$(date +%s%N)
"$x_input" replace-window Qeb F1 "$presses" || fail "the show did not go on"
milliseconds=$((($(date +%s%N) - started) / 1000000))
sleep 1
held >"$workdir/after.txt"
echo "$presses presses of F1 in $milliseconds ms; held before and after:"
paste "$workdir/before.txt" "$workdir/after.txt"
cmp -s "$workdir/before.txt" "$workdir/after.txt" || fail "the demo holds more than before"

until_ended "$demo" "$x_input" key Escape
wait "$demo"
code=$?
[ "$code" = 27 ] || fail "exit code $code, expected 27"
! grep -q '^BOX ' "$workdir/boxes.txt" || fail "unexpected message boxes"
echo "f1 soak: passed"
