#!/usr/bin/env bash
# One end-to-end scenario of the demo on a private X display (run it under
# scripts/with-xvfb.sh). Prints the runner's message boxes and checks the
# exit code and the boxes that must appear.
#   run_scenario.sh RUNNER X_INPUT DATA_DIR SCENARIO
set -u
. "$(dirname "$0")/until_ended.sh"
runner=$1 x_input=$2 data=$3 scenario=$4
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
cp -r "$data"/. "$workdir"/
cd "$workdir"

answers=()
runner_options=()
expected_code=0
expected_boxes=()
case $scenario in
  runs-to-the-end) ;;
  escape) expected_code=27 ;;
  close-button) ;;
  f1-twice-then-escape) expected_code=27 ;;
  no-mode-answer-yes) answers=(yes); expected_code=27; expected_boxes=("BOX Ravo GL|") ;;
  no-mode-answer-no) answers=(no); expected_boxes=("BOX Ravo GL|" "BOX ERROR|Program Will Now Close.") ;;
  # The soundtrack is missing: its box stays up while F1 replaces the window;
  # once it is dismissed the demo ends with 1.
  music-box-f1)
    rm Data/demo.mp3; runner_options=(--hold-music-box); expected_code=1
    expected_boxes=("BOX MP3Player|Er is geen file aanwezig met de naam : Data/demo.mp3") ;;
  # The same box stays up; the pictures are then taken away, so the re-open
  # after F1 fails: the demo ends at once with 0, the box still up.
  music-box-failed-reopen)
    rm Data/demo.mp3; runner_options=(--hold-music-box)
    expected_boxes=("BOX MP3Player|Er is geen file aanwezig met de naam : Data/demo.mp3"
                    "BOX ERROR|Initialization Failed.") ;;
  # The same box stays up while Escape ends the show: the main thread waits
  # for the music thread, which ends the process (1) once the box is
  # dismissed. Full screen must have been left before that.
  music-box-escape)
    rm Data/demo.mp3; runner_options=(--hold-music-box); expected_code=1
    expected_boxes=("BOX MP3Player|Er is geen file aanwezig met de naam : Data/demo.mp3") ;;
  *) echo "unknown scenario $scenario"; exit 2 ;;
esac

"$runner" "${runner_options[@]}" "${answers[@]}" 2>"$workdir/boxes.txt" &
demo=$!

# Waits until the runner has printed the box with that caption.
wait_box() {
  for _ in $(seq 600); do
    grep -q "^BOX $1|" "$workdir/boxes.txt" && return 0
    sleep 0.1
  done
  return 1
}

act() {
  "$x_input" wait-window Qeb 60 || return 1
  sleep 0.5
  case $scenario in
    escape|no-mode-answer-yes) until_ended "$demo" "$x_input" key Escape ;;
    # A key first: only the quit message that closing brings gives 0 after it.
    close-button) "$x_input" key a && sleep 0.3 && until_ended "$demo" "$x_input" close Qeb ;;
    f1-twice-then-escape)
      "$x_input" key F1 && sleep 1 && "$x_input" wait-window Qeb 60 && sleep 0.5 &&
      "$x_input" key F1 && sleep 1 && "$x_input" wait-window Qeb 60 && sleep 0.5 &&
      until_ended "$demo" "$x_input" key Escape ;;
    music-box-f1)
      wait_box MP3Player && "$x_input" key F1 && sleep 1 && "$x_input" wait-window Qeb 60 && sleep 0.5 &&
      touch dismiss-box ;;
    music-box-escape)
      wait_box MP3Player || return 1
      for _ in $(seq 20); do
        "$x_input" key Escape
        sleep 0.5
        grep -q '^left full screen$' "$workdir/boxes.txt" && break
      done
      grep -q '^left full screen$' "$workdir/boxes.txt" && left_with_box_up=yes
      touch dismiss-box ;;
    music-box-failed-reopen)
      # Should the demo wait for the box after all, it is dismissed a minute
      # later and the exit code (1) tells.
      (sleep 60; touch dismiss-box) >/dev/null 2>&1 &
      watchdog=$!
      wait_box MP3Player && find Data -name '*.bmp' -delete && until_ended "$demo" "$x_input" key F1 ;;
  esac
}
case $scenario in
  runs-to-the-end|no-mode-answer-no) ;;
  *) act || echo "could not act on the window" ;;
esac

wait $demo
code=$?
[ -n "${watchdog:-}" ] && kill "$watchdog" 2>/dev/null
cat "$workdir/boxes.txt"
status=0
if [ "$code" != "$expected_code" ]; then
  echo "exit code $code, expected $expected_code"
  status=1
fi
if [ "$scenario" = music-box-escape ] && [ "${left_with_box_up:-}" != yes ]; then
  echo "full screen was not left while the music thread's box was up"
  status=1
fi
for box in "${expected_boxes[@]}"; do
  grep -qF "$box" "$workdir/boxes.txt" || { echo "missing message box: $box"; status=1; }
done
# Only the expected boxes may appear.
if [ "$(grep -c '^BOX ' "$workdir/boxes.txt")" != "${#expected_boxes[@]}" ]; then
  echo "unexpected message boxes"
  status=1
fi
[ $status = 0 ] && echo "scenario $scenario: passed"
exit $status
