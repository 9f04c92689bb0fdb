#!/usr/bin/env bash
# usage: scripts/long-runs.sh [full] [f1] [music] [data]
# Long runs of the real demo on a private Xvfb (640x480x16), with SDL's silent
# audio and its message boxes answered by tests/e2e/demo_runner:
#   scripts/long-runs.sh [full] [f1] [music] [data]     (default: all four)
#   full   one whole run (14065 frames) of the demo built with AddressSanitizer
#          and UndefinedBehaviorSanitizer: exit code 0, no box, no memory error
#   f1     50 F1 switches in a row: resident memory, threads and open files
#          of the process before and after, then Escape (exit code 27)
#   music  100 runs with Data/demo.mp3 missing (sanitizer build): each shows
#          the music thread's box and ends with status 1, no crash
#   data   start with no data, an empty data folder and each kind of file
#          missing: the message boxes and exit code of each
# Builds the demo runner in build/long-runs (Release) and build/long-runs-asan;
# QEB_RELEASE_BUILD and QEB_ASAN_BUILD name other build directories. The
# data is the default set written by qeb-datagen. The standard error of the
# last run of each case stays in build/long-runs-logs. Exit status 0 when
# every check passed.
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -u
cd "$(dirname "$0")/.."
root=$(pwd)
if [ -z "${QEB_LONG_RUNS_ON_XVFB:-}" ]; then
  exec scripts/with-xvfb.sh --screen 640x480x16 -- env QEB_LONG_RUNS_ON_XVFB=1 "$0" "$@"
fi
parts=${*:-full f1 music data}
release=${QEB_RELEASE_BUILD:-build/long-runs}
asan=${QEB_ASAN_BUILD:-build/long-runs-asan}
export SDL_AUDIODRIVER=dummy
# Memory errors end a run with a report. Leaks are not checked here: each start
# of SDL's video loads and unloads X libraries that leave small blocks behind,
# which LeakSanitizer cannot name once the library is gone. The unit tests
# check the demo's own code for leaks.
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1

cmake -S . -B "$release" -DCMAKE_BUILD_TYPE=Release >/dev/null &&
  cmake --build "$release" --target demo_runner x_input qeb-datagen -j2 >/dev/null &&
  cmake -S . -B "$asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEB_SANITIZE=ON >/dev/null &&
  cmake --build "$asan" --target demo_runner -j2 >/dev/null || { echo "long-runs: build failed"; exit 1; }
runner=$root/$release/tests/e2e/demo_runner
asan_runner=$root/$asan/tests/e2e/demo_runner
x_input=$root/$release/tests/e2e/x_input

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The standard error of each run (message boxes, sanitizer reports) is kept here.
logs=$root/build/long-runs-logs
mkdir -p "$logs"
"$release/tools/datagen/qeb-datagen" "$work/default" >/dev/null || { echo "long-runs: no default data"; exit 1; }
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# A fresh working directory holding a copy of the default data minus the
# given paths (below Data/): fresh_data NAME [PATH...]
fresh_data() {
  local dir=$work/case-$1
  shift
  rm -rf "$dir" && mkdir -p "$dir" && cp -r "$work/default/Data" "$dir/"
  for path in "$@"; do rm -rf "${dir:?}/Data/$path"; done
  echo "$dir"
}

# Runs RUNNER in DIR until it ends, pressing Escape once its window shows
# when WHEN_SHOWN is "escape". Sets $code and $boxes (the runner's stderr).
run_demo() {
  local runner=$1 dir=$2 when_shown=$3
  (cd "$dir" && exec "$runner" ok ok ok) 2>"$dir/stderr.txt" &
  local demo=$!
  if [ "$when_shown" = escape ] && "$x_input" wait-window Qeb 60 >/dev/null 2>&1; then
    # A press that comes while the demo is busy can be read, down and up,
    # between two frames and go unseen: press again until the demo ends.
    for _ in $(seq 20); do
      sleep 0.5
      kill -0 $demo 2>/dev/null || break
      "$x_input" key Escape
    done
  fi
  wait $demo
  code=$?
  cp "$dir/stderr.txt" "$logs/$(basename "$dir").txt"
  boxes=$(grep '^BOX ' "$dir/stderr.txt")
}

# The X id of the demo's window, empty when there is none.
window_id() { xwininfo -root -tree 2>/dev/null | awk '/"Qeb"/ {print $1; exit}'; }

# Presses F1 until the demo's window is replaced by a new one (up to 5 presses).
switch_mode() {
  local before
  before=$(window_id)
  for _ in 1 2 3 4 5; do
    "$x_input" key F1
    for _ in $(seq 40); do
      sleep 0.1
      local now
      now=$(window_id)
      if [ -n "$now" ] && [ "$now" != "$before" ]; then return 0; fi
    done
  done
  return 1
}

# Process figures: "rss_kb threads fds" of a running process.
process_figures() {
  echo "$(awk '/^VmRSS/ {print $2}' /proc/$1/status) $(ls /proc/$1/task | wc -l) $(ls /proc/$1/fd | wc -l)"
}

for part in $parts; do
  case $part in
    full)
      echo "== full run under AddressSanitizer"
      dir=$(fresh_data full)
      start=$(date +%s)
      run_demo "$asan_runner" "$dir" none
      echo "exit code $code after $(( $(date +%s) - start )) s"
      [ "$code" = 0 ] || fail "full run: exit code $code, expected 0"
      [ -z "$boxes" ] || fail "full run: message boxes: $boxes"
      if grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$dir/stderr.txt"; then
        fail "full run: sanitizer report"; grep -A 20 -E 'Sanitizer|runtime error' "$dir/stderr.txt" | head -40
      fi
      ;;
    f1)
      echo "== 50 F1 switches"
      dir=$(fresh_data f1)
      (cd "$dir" && exec "$runner") 2>"$dir/stderr.txt" &
      demo=$!
      "$x_input" wait-window Qeb 60 && sleep 1
      read -r rss0 threads0 fds0 <<<"$(process_figures $demo)"
      for i in $(seq 50); do
        switch_mode || { fail "f1: switch $i did not replace the window"; break; }
        [ "$i" = 10 ] && read -r rss10 threads10 fds10 <<<"$(process_figures $demo)"
      done
      sleep 1
      read -r rss50 threads50 fds50 <<<"$(process_figures $demo)"
      for _ in $(seq 20); do
        "$x_input" key Escape
        sleep 0.5
        kill -0 $demo 2>/dev/null || break
      done
      wait $demo
      code=$?
      echo "resident KB: $rss0 at start, $rss10 after 10 switches, $rss50 after 50"
      echo "threads: $threads0, $threads10, $threads50; open files: $fds0, $fds10, $fds50"
      [ "$code" = 27 ] || fail "f1: exit code $code, expected 27"
      grep -q '^BOX ' "$dir/stderr.txt" && fail "f1: message boxes: $(grep '^BOX ' "$dir/stderr.txt")"
      [ "$threads50" = "$threads10" ] && [ "$fds50" = "$fds10" ] || fail "f1: threads or open files grew"
      # Forty switches more may cost allocator slack, never a context's worth of textures (25 MB).
      [ $((rss50 - rss10)) -lt 8192 ] || fail "f1: resident memory grew by $((rss50 - rss10)) KB"
      ;;
    music)
      echo "== 100 runs with the soundtrack missing"
      dir=$(fresh_data music demo.mp3)
      expected="BOX MP3Player|Er is geen file aanwezig met de naam : Data/demo.mp3|"
      bad=0
      for i in $(seq 100); do
        run_demo "$asan_runner" "$dir" none
        if [ "$code" != 1 ] || [ "$(grep -c '^BOX ' "$dir/stderr.txt")" != 1 ] || ! grep -qF "$expected" "$dir/stderr.txt" ||
            grep -qE 'Sanitizer|runtime error:' "$dir/stderr.txt"; then
          bad=$((bad + 1)); echo "run $i: exit code $code"; cat "$dir/stderr.txt" | head -20
        fi
      done
      echo "$((100 - bad)) of 100 runs ended with status 1 after the one box"
      [ $bad = 0 ] || fail "music: $bad runs"
      ;;
    data)
      echo "== missing data"
      # name | paths to remove below Data/ ("ALL" removes Data itself) | action | exit code | the boxes, in order
      while IFS='|' read -r name remove action expected_code expected; do
        if [ "$remove" = ALL ]; then dir=$work/case-$name; rm -rf "$dir"; mkdir -p "$dir"
        elif [ "$remove" = EMPTY ]; then dir=$work/case-$name; rm -rf "$dir"; mkdir -p "$dir/Data"
        else read -ra paths <<<"$remove"; dir=$(fresh_data "$name" "${paths[@]}"); fi
        run_demo "$runner" "$dir" "$action"
        got=$(grep '^BOX ' "$dir/stderr.txt" | cut -d'|' -f1-2 | tr '\n' ';')
        echo "$name: exit code $code, boxes: ${got:-none}"
        [ "$code" = "$expected_code" ] || fail "$name: exit code $code, expected $expected_code"
        [ "$got" = "$expected" ] || fail "$name: boxes '$got', expected '$expected'"
      done <<EOF_CASES
no-data|ALL|none|0|BOX ERROR|Initialization Failed.;
empty-data-folder|EMPTY|none|0|BOX ERROR|Initialization Failed.;
no-pictures|map1.bmp map2.bmp map3.bmp map4.bmp anim1 anim2 anim3 end1.bmp end2.bmp begin.bmp|none|0|BOX ERROR|Initialization Failed.;
no-world|world.txt|escape|27|
no-camera-script|cam.txt|escape|27|
no-first-map|map1.bmp|escape|27|
no-animation-series|anim2|escape|27|
no-soundtrack|demo.mp3|none|1|BOX MP3Player|Er is geen file aanwezig met de naam : Data/demo.mp3;
EOF_CASES
      ;;
    *) echo "unknown part $part"; failures=$((failures + 1)) ;;
  esac
done
[ $failures = 0 ] && echo "long-runs: all passed" || echo "long-runs: $failures FAILED"
exit $(( failures > 0 ))
