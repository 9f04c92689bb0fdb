#!/usr/bin/env bash
# The demo under a real Wayland compositor: Weston's X11 back-end on a
# private Xvfb (headless Weston has no input seat), with XWayland. Keys are
# sent to the Xvfb display, where Weston passes them to its focused client.
#   weston_scenario.sh RUNNER SCREEN_MATCH RENDER_FRAMES DATA_DIR PATH SCENARIO
# PATH: xwayland (SDL's X11 driver on Weston's XWayland) or wayland (SDL's
# Wayland driver). SCENARIO:
#   keys        the first frame appears at the output's size and shape,
#               F1 twice and the show goes on, B toggles the blended look
#               and back, Escape ends it with 27
#   f1-soak N   N presses of F1 (even), each handled; then the picture is
#               back, full screen, and Escape ends it with 27
#   question-box HELPER
#               (PATH wayland: no DISPLAY) the box helper asks the
#               windowed-mode question; the box waits for an answer, and
#               Return, through the compositor, answers Yes
# What Weston shows (its window on the Xvfb, read back from the X server)
# is matched with frames drawn by qeb-render-frames over one period of the
# wave, in both looks. weston-screenshooter is no use here: its PNG keeps
# the alpha byte of surfaces without alpha (Mesa's on Wayland leaves it 0),
# so their background comes out transparent black.
set -u
. "$(dirname "$0")/until_ended.sh"
runner=$1 screen_match=$2 render_frames=$3 data=$4 path=$5 scenario=$6
presses=${7:-0} helper=${7:-}
for tool in Xvfb weston Xwayland xdotool; do
  command -v "$tool" >/dev/null || { echo "weston scenario: $tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done

workdir=$(mktemp -d)
chmod 700 "$workdir"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$workdir"
}
trap cleanup EXIT
fail() {
  echo "weston scenario $path $scenario: $*"
  echo "--- the demo's standard error"; cat "$workdir/demo.txt" 2>/dev/null
  echo "--- Weston's log (tail)"; tail -n 20 "$workdir/weston.log" 2>/dev/null
  exit 1
}
started=$(date +%s%N)

# The references: one period of the wave (91 frames) in each look, drawn
# on a display of their own while the compositor starts.
mkdir -p "$workdir/data" "$workdir/ref"
cp -r "$data"/. "$workdir/data"/
requests=()
for tick in $(seq 2 93); do requests+=("$tick:$workdir/ref/plain-$tick.png" "$tick:$workdir/ref/blend-$tick.png:blend"); done
[ "$scenario" = question-box ] && requests=()
(cd "$workdir/data" && [ ${#requests[@]} = 0 ] || "$(dirname "$0")/../../scripts/with-xvfb.sh" --screen 640x480x24 -- \
  "$render_frames" "${requests[@]}" >"$workdir/references.txt" 2>&1) &
references=$!

Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset 3>"$workdir/display" 2>"$workdir/xvfb.log" &
pids+=($!)
for _ in $(seq 200); do [ -s "$workdir/display" ] && break; sleep 0.05; done
[ -s "$workdir/display" ] || fail "Xvfb did not start"
xvfb=":$(head -n 1 "$workdir/display")"

export XDG_RUNTIME_DIR=$workdir/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket=qeb-weston-$$
DISPLAY=$xvfb weston --backend=x11-backend.so --width=1280 --height=720 --socket="$socket" --xwayland \
  --use-pixman --idle-time=0 --log="$workdir/weston.log" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 200); do grep -q 'xserver listening' "$workdir/weston.log" 2>/dev/null && break; sleep 0.05; done
xwayland=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$workdir/weston.log" | head -n 1)
[ -n "$xwayland" ] || fail "Weston did not start with XWayland"
export WAYLAND_DISPLAY=$socket

wait "$references" || { cat "$workdir/references.txt"; fail "qeb-render-frames failed"; }
compositor_ready=$(date +%s%N)

cd "$workdir/data"
if [ "$scenario" = question-box ]; then
  # SDL's box on Wayland without X is zenity's.
  (unset DISPLAY; exec "$helper" "Ravo GL" \
    $'The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?' 52) \
    >"$workdir/demo.txt" 2>&1 &
  box=$!
  pids+=("$box")
  sleep 3
  kill -0 "$box" 2>/dev/null || fail "the box did not wait for an answer (status $(wait "$box"; echo $?))"
  DISPLAY=$xvfb xdotool keydown Return
  sleep 0.2
  DISPLAY=$xvfb xdotool keyup Return
  for _ in $(seq 50); do kill -0 "$box" 2>/dev/null || break; sleep 0.1; done
  wait "$box"
  code=$?
  [ "$code" = 6 ] || fail "the box answered $code, expected 6 (Yes)"
  ! grep -q 'no message box could be shown' "$workdir/demo.txt" || fail "no box was shown"
  echo "weston scenario $path $scenario: passed"
  exit 0
fi
# XWayland refuses the swap interval, so nothing paces the frames there: at
# a few hundred frames a second the whole show (14065 frames) lasts under a
# minute, less than a scenario can take on a loaded machine, and the demo
# would end by itself with the last key's code. The runner paces them as a
# display would.
export QEB_RUNNER_FRAME_RATE=60
case $path in
  xwayland) (unset WAYLAND_DISPLAY; DISPLAY=$xwayland SDL_VIDEODRIVER=x11 exec "$runner") 2>"$workdir/demo.txt" & ;;
  wayland) (unset DISPLAY; SDL_VIDEODRIVER=wayland exec "$runner") 2>"$workdir/demo.txt" & ;;
  *) echo "unknown path $path"; exit 2 ;;
esac
demo=$!
pids+=("$demo")

# A held key: a press and release within one frame never reaches the demo.
key() {
  DISPLAY=$xvfb xdotool keydown "$1"
  sleep 0.2
  DISPLAY=$xvfb xdotool keyup "$1"
}
alive() { kill -0 "$demo" 2>/dev/null || fail "the demo ended (status $(wait "$demo"; echo $?)) $*"; }

# The closest reference to the output now: "LOOK SCORE STRETCHED".
match() {
  DISPLAY=$xvfb "$screen_match" --x-root "$workdir/ref"/*.png | sed 's|.*/\([a-z]*\)-[0-9]*\.png|\1|'
}

# Waits until the output shows the picture in LOOK, undistorted. A match
# scores under 1; the same picture stretched to the output's width, over 5.
threshold=3
wait_picture() {
  local look=$1 result=
  for _ in $(seq 60); do
    alive "while waiting for the $look picture"
    result=$(match)
    set -- $result
    if [ "$1" = "$look" ] && awk -v s="$2" -v t=$threshold 'BEGIN { exit !(s < t) }'; then
      echo "picture ($look): $result"
      return 0
    fi
    sleep 0.5
  done
  fail "the output never showed the $look picture at the output's shape (last: $result)"
}

wait_end() {
  until_ended "$demo" key Escape
  wait "$demo"
  code=$?
  [ "$code" = 27 ] || fail "exit code $code, expected 27"
}

wait_picture plain
first_frame=$(date +%s%N)
case $scenario in
  keys)
    key F1
    sleep 1.5
    alive "after the first F1"
    key F1
    wait_picture plain
    key B
    wait_picture blend
    key B
    wait_picture plain
    wait_end
    left=$(grep -c '^left full screen$' "$workdir/demo.txt")
    [ "$left" = 2 ] || fail "full screen was left $left times, expected 2 (F1, Escape)"
    ;;
  f1-soak)
    for press in $(seq "$presses"); do
      key F1
      sleep 0.3
      alive "after F1 number $press"
    done
    wait_picture plain
    left=$(grep -c '^left full screen$' "$workdir/demo.txt")
    [ "$left" = $((presses / 2)) ] || fail "full screen was left $left times in $presses presses of F1"
    wait_end
    ;;
  *) echo "unknown scenario $scenario"; exit 2 ;;
esac
! grep -q '^BOX ' "$workdir/demo.txt" || fail "unexpected message boxes"
ms() { echo $((($2 - $1) / 1000000)); }
echo "weston scenario $path $scenario: passed (references and compositor $(ms "$started" "$compositor_ready") ms," \
  "first frame after $(ms "$compositor_ready" "$first_frame") ms, all $(ms "$started" "$(date +%s%N)") ms)"
