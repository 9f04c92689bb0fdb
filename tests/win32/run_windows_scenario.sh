#!/usr/bin/env bash
# One end-to-end run of qeb.exe under Wine on the caller's X display, driven
# with xdotool: message boxes are X windows named by their captions, answered
# with keys as a user would.
#   run_windows_scenario.sh WINE_RUN QEB_EXE DATA_DIR SCENARIO
# Scenarios (the display 640x480 unless said otherwise):
#   escape                Escape ends the demo with exit code 27
#   alt-f4                a key, then Alt+F4 closes the window: exit code 0
#   f1-twice-then-escape  to a window and back to full screen, then Escape: 27
#   soundtrack-missing    the music thread's box (MP3Player), answered: status 1
#   no-audio-device       no sound device: the music thread's box, answered: status 1
#   no-mode-answer-yes    (1024x768) the full-screen question, Yes, then Escape: 27
#   no-mode-answer-no     (1024x768) the question, No, then "ERROR": exit code 0
set -u
wine_run=$1 exe=$2 data=$3 scenario=$4
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
cp -r "$data"/. "$workdir"/
cd "$workdir"

expected_code=0
case $scenario in
  escape | no-mode-answer-yes | f1-twice-then-escape) expected_code=27 ;;
  alt-f4 | no-mode-answer-no) expected_code=0 ;;
  soundtrack-missing) rm -f Data/demo.mp3 && expected_code=1 ;;
  no-audio-device)
    # A HOME whose only sound device cannot be opened.
    mkdir -p home && printf 'pcm.!default { type hw card 99 }\n' >home/.asoundrc
    export QEB_WINE_HOME=$workdir/home
    expected_code=1 ;;
  *) echo "unknown scenario $scenario"; exit 2 ;;
esac

"$wine_run" "$exe" &
demo=$!

# The X window named exactly $1, waited for up to 60 s.
find_window() {
  for _ in $(seq 120); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$demo" 2>/dev/null || return 1
    sleep 0.5
  done
  return 1
}
# Sends keys to the window named $1 until the demo ends or the window goes.
press() {
  local name=$1
  shift
  local id
  id=$(find_window "$name") || { echo "no window named $name"; return 1; }
  sleep 0.5
  for _ in $(seq 20); do
    xdotool windowfocus --sync "$id" key "$@" 2>/dev/null
    sleep 1
    kill -0 "$demo" 2>/dev/null || return 0
    xdotool search --onlyvisible --name "^$name\$" >/dev/null 2>&1 || return 0
  done
  echo "window $name did not go"
  return 1
}

# F1 to the window named Qeb, until a new window of that name stands in its place.
switch_mode() {
  local old new
  old=$(find_window Qeb) || { echo "no window named Qeb"; return 1; }
  sleep 0.5
  for _ in $(seq 20); do
    xdotool windowfocus --sync "$old" key F1 2>/dev/null
    sleep 1
    new=$(xdotool search --onlyvisible --name '^Qeb$' 2>/dev/null | head -n 1)
    [ -n "$new" ] && [ "$new" != "$old" ] && return 0
  done
  echo "F1 did not re-open the window"
  return 1
}

acted=0
case $scenario in
  escape) press Qeb Escape ;;
  f1-twice-then-escape) switch_mode && switch_mode && press Qeb Escape ;;
  alt-f4) id=$(find_window Qeb) && sleep 0.5 && xdotool windowfocus --sync "$id" key a && press Qeb alt+F4 ;;
  soundtrack-missing | no-audio-device) press MP3Player Return ;;
  no-mode-answer-yes) press "Ravo GL" Return && press Qeb Escape ;;
  no-mode-answer-no) press "Ravo GL" n && press ERROR Return ;;
esac || acted=1

# A demo that never ends is stopped, and the run fails.
for _ in $(seq 60); do
  kill -0 "$demo" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$demo" 2>/dev/null; then
  echo "the demo did not end"
  kill "$demo"
fi
wait "$demo"
code=$?
if [ "$code" != "$expected_code" ] || [ $acted != 0 ]; then
  echo "scenario $scenario: exit code $code, expected $expected_code"
  exit 1
fi
echo "scenario $scenario: passed"
