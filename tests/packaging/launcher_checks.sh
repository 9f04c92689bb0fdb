# Checks shared by the staged-install and package tests, sourced by both.
# Each check prints what failed and counts it in $failures.
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# png_size FILE: "WIDTH HEIGHT" of a PNG file, empty for anything else.
png_size() {
  local bytes
  bytes=$(od -An -v -N24 -tu1 "$1" 2>/dev/null | tr -s ' \n' ' ')
  read -r -a b <<<"$bytes"
  [ "${#b[@]}" = 24 ] && [ "${b[*]:0:8}" = "137 80 78 71 13 10 26 10" ] || return 0
  echo "$(((b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19])) $(((b[20] << 24) | (b[21] << 16) | (b[22] << 8) | b[23]))"
}

# check_tree ROOT: the files an install under ROOT (the prefix) must hold.
check_tree() {
  local root=$1 path
  for path in "$bindir/qeb" "$programdir/qeb" "$programdir/qeb-message-box"; do
    [ -x "$root/$path" ] || fail "$path is missing or not executable"
  done
  for path in "$datadir/Data/world.txt" "$datadir/Data/cam.txt" "$datadir/Data/demo.mp3" \
      share/applications/qeb.desktop share/metainfo/io.github.qeb.Qeb.metainfo.xml \
      share/man/man6/qeb.6.gz share/doc/qeb/copyright share/doc/qeb/changelog.gz; do
    [ -s "$root/$path" ] || fail "$path is missing or empty"
  done
  local pictures
  pictures=$(find "$root/$datadir/Data" -name '*.bmp' | wc -l)
  [ "$pictures" = 127 ] || fail "$pictures pictures installed, expected 127"
  for size in 16 32 48 64 128 256; do
    path=share/icons/hicolor/${size}x$size/apps/qeb.png
    [ "$(png_size "$root/$path")" = "$size $size" ] || fail "$path is not a $size x $size PNG"
  done
  gzip -t "$root/share/man/man6/qeb.6.gz" || fail "the manual page is not gzip data"
}

# check_launcher LAUNCHER VERSION: the launcher's command line, with stand-ins
# for the demo and the capture program in a copy of its install tree. They
# record their working directory and arguments and end with $STUB_EXIT.
check_launcher() {
  local original=$1 version=$2 work
  work=$(mktemp -d)
  local root=$work/root
  mkdir -p "$root/$bindir" "$root/$programdir" "$root/$datadir/Data" "$work/caller/other/data" "$work/caller/no-data" \
    "$work/links" "$work/caller/linked-data" "$work/caller/-dash/Data" "$work/decoy/other/Data" "$work/decoy/-dash/Data"
  # Data reached through symbolic links: a linked data folder, and a folder
  # whose Data is a link. A decoy on CDPATH holds folders of the same names.
  ln -s other "$work/caller/linked"
  ln -s ../other/data "$work/caller/linked-data/Data"
  ln -s nowhere "$work/caller/no-data/Data"
  cp "$original" "$root/$bindir/qeb"
  local stub='#!/bin/sh
{ pwd -P; echo "$@"; } > "$STUB_LOG"
exit "${STUB_EXIT:-0}"'
  echo "$stub" > "$root/$programdir/qeb"
  chmod +x "$root/$programdir/qeb"
  ln -s "$root/$bindir/qeb" "$work/links/qeb"
  local data other linked dash
  data=$(cd "$root/$datadir" && pwd -P)
  other=$(cd "$work/caller/other" && pwd -P)
  linked=$(cd "$work/caller/linked-data" && pwd -P)
  dash=$(cd "$work/caller/-dash" && pwd -P)

  # name | arguments | exit code given to the stand-ins | exit code | the stand-in's folder | its arguments
  # ("-" for no run) | a text the output holds
  local name arguments stub_exit expected_code expected_dir expected_args expected_text
  while IFS='|' read -r name arguments stub_exit expected_code expected_dir expected_args expected_text; do
    [ "$name" = make-stand-in ] && { echo "$stub" > "$root/$programdir/qeb-make"; chmod +x "$root/$programdir/qeb-make"; }
    [ "$name" = capture-stand-in ] && { echo "$stub" > "$root/$programdir/qeb-capture"; chmod +x "$root/$programdir/qeb-capture"; }
    expected_dir=${expected_dir//DATA/$data}
    expected_dir=${expected_dir//OTHER/$other}
    expected_dir=${expected_dir//LINKED/$linked}
    expected_dir=${expected_dir//DASH/$dash}
    expected_dir=${expected_dir//CALLER/$(cd "$work/caller" && pwd -P)}
    expected_args=${expected_args//CALLER/$work/caller}
    local launcher=$root/$bindir/qeb
    [ "$name" = through-a-link ] && launcher=$work/links/qeb
    rm -f "$work/log"
    local code=0
    # shellcheck disable=SC2086
    (cd "$work/caller" && CDPATH=$work/decoy STUB_LOG=$work/log STUB_EXIT=$stub_exit "$launcher" $arguments) \
      >"$work/out" 2>&1 || code=$?
    [ "$code" = "$expected_code" ] || fail "$name: exit code $code, expected $expected_code ($(cat "$work/out"))"
    if [ "$expected_dir" = - ]; then
      [ ! -e "$work/log" ] || fail "$name: started a program"
    elif [ ! -e "$work/log" ]; then
      fail "$name: started nothing"
    else
      [ "$(sed -n 1p "$work/log")" = "$expected_dir" ] || fail "$name: ran in $(sed -n 1p "$work/log"), expected $expected_dir"
      [ "$(sed -n 2p "$work/log")" = "$expected_args" ] || fail "$name: arguments '$(sed -n 2p "$work/log")', expected '$expected_args'"
    fi
    [ -z "$expected_text" ] || grep -qF -- "$expected_text" "$work/out" || fail "$name: output lacks '$expected_text': $(cat "$work/out")"
  done <<EOF_CASES
help|--help|0|0|-||usage: qeb
version|--version|0|0|-||qeb $version
default-data||0|0|DATA||
exit-code-passed-through||27|27|DATA||
through-a-link||0|0|DATA||
another-folder|--data other|0|0|OTHER||
another-folder-joined|--data=other|0|0|OTHER||
linked-folder|--data linked|0|0|OTHER||
linked-data|--data linked-data|0|0|LINKED||
folder-named-like-an-option|--data -dash|0|0|DASH||
folder-without-data|--data no-data|0|2|-||holds no Data folder
missing-folder|--data nowhere|0|2|-||no such folder
data-without-folder|--data|0|2|-||needs a folder
unknown-option|--fullscreen|0|2|-||unknown argument
capture-not-installed|capture out.mp4|0|127|-||install the package qeb-capture
capture-stand-in|capture --from 100 clip.mp4|3|3|DATA|--from 100 CALLER/clip.mp4|
capture-absolute-output|capture /tmp/clip.mkv|0|0|DATA|/tmp/clip.mkv|
capture-own-help|capture --help|0|0|DATA|--help|
capture-in-another-folder|--data other capture clip.mp4|0|0|OTHER|CALLER/clip.mp4|
capture-output-before-a-flag|capture out.mp4 --force|0|0|DATA|CALLER/out.mp4 --force|
capture-output-before-a-value|capture out.mp4 --fps 30|0|0|DATA|CALLER/out.mp4 --fps 30|
capture-output-between-options|capture --size 960x720 --to 900 sub/clip.mkv --lossless --no-audio|0|0|DATA|--size 960x720 --to 900 CALLER/sub/clip.mkv --lossless --no-audio|
capture-value-missing|capture out.mp4 --fps|0|0|DATA|CALLER/out.mp4 --fps|
capture-two-outputs|capture a.mp4 b.mp4|0|0|DATA|CALLER/a.mp4 CALLER/b.mp4|
capture-in-a-linked-folder|--data linked-data capture clip.mp4|0|0|LINKED|CALLER/clip.mp4|
make-not-installed|make pictures -o show|0|127|-||install the package qeb-make
make-stand-in|make pictures --title Hi -o show|2|2|CALLER|pictures --title Hi -o show|
make-own-help|make --help|0|0|CALLER|--help|
make-with-data|--data other make pictures -o show|0|2|-||make takes no --data
EOF_CASES
  rm -rf "$work"
}

# check_real_demo LAUNCHER DATA_DIR OTHER_DATA X_INPUT: run on an X display
# (scripts/with-xvfb.sh), from an unrelated folder, the installed demo shows
# DATA_DIR by default and OTHER_DATA with --data, and ends with Escape (27).
check_real_demo() {
  local launcher=$1 data other=$3 x_input=$4 caller
  data=$(cd "$2" && pwd -P)
  caller=$(mktemp -d)
  local arguments expected
  for arguments in "" "--data $other"; do
    expected=$data
    [ -n "$arguments" ] && expected=$(cd "$other" && pwd -P)
    # shellcheck disable=SC2086
    (cd "$caller" && exec "$launcher" $arguments) 2>"$caller/stderr" &
    local demo=$!
    if "$x_input" wait-window Qeb 60; then
      # The launcher has become the demo by now: its folder is the data's.
      local folder
      folder=$(readlink "/proc/$demo/cwd")
      [ "$folder" = "$expected" ] || fail "'qeb $arguments' showed $folder, expected $expected"
      for _ in $(seq 20); do
        sleep 0.5
        kill -0 $demo 2>/dev/null || break
        "$x_input" key Escape
      done
    else
      fail "'qeb $arguments' opened no window: $(cat "$caller/stderr")"
      kill $demo 2>/dev/null
    fi
    local code=0
    wait $demo || code=$?
    [ "$code" = 27 ] || fail "'qeb $arguments' ended with exit code $code after Escape, expected 27"
  done
  rm -rf "$caller"
}

# check_installed PREFIX VERSION X_INPUT OTHER_DATA: all of the above on the
# install under PREFIX, the real demo on a private Xvfb.
check_installed() {
  local prefix=$1 version=$2 x_input=$3 other=$4 checks
  checks=$(dirname "${BASH_SOURCE[0]}")/launcher_checks.sh
  check_tree "$prefix"
  check_launcher "$prefix/$bindir/qeb" "$version"
  "$(dirname "$checks")/../../scripts/with-xvfb.sh" --screen 640x480x16 -- bash -c \
    "source '$checks'; check_real_demo '$prefix/$bindir/qeb' '$prefix/$datadir' '$other' '$x_input'; exit \$failures" ||
    fail "the demo of $prefix on Xvfb"
}
