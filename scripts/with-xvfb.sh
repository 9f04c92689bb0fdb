#!/usr/bin/env bash
# usage: scripts/with-xvfb.sh [--screen WxHxDEPTH] [--resetting] [--] COMMAND [ARGS...]
# Runs a command on a private Xvfb display and stops the server afterwards.
# The default screen has exactly one display mode, 640x480 at 16 bits.
# With --resetting the server resets whenever its last client leaves, as
# xvfb-run starts it; by default it keeps going (-noreset). The command finds
# the server's process id in QEB_XVFB_PID.
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -u
screen=640x480x16
noreset=-noreset
if [ "${1:-}" = --screen ]; then screen=$2; shift 2; fi
if [ "${1:-}" = --resetting ]; then noreset=; shift; fi
[ "${1:-}" = -- ] && shift

workdir=$(mktemp -d)
# -displayfd lets the server pick a free display number and tell us which.
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp $noreset 3>"$workdir/display" 2>"$workdir/xvfb.log" &
server=$!
for _ in $(seq 200); do
  [ -s "$workdir/display" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
display=$(head -n 1 "$workdir/display" 2>/dev/null)
if [ -z "$display" ]; then
  echo "with-xvfb: Xvfb did not start" >&2
  cat "$workdir/xvfb.log" >&2
  kill "$server" 2>/dev/null
  rm -rf "$workdir"
  exit 1
fi

export DISPLAY=":$display"
export QEB_XVFB_PID=$server  # for tests that take the server away
export SDL_VIDEODRIVER=x11
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export LIBGL_ALWAYS_SOFTWARE=1
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -rf "$workdir"
exit $status
