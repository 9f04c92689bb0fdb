#!/usr/bin/env bash
# A minimal data directory for the end-to-end tests: one picture (begin.bmp,
# 2x2, 24-bit, written by the small_picture program given as the second
# argument) and a second of silence as the soundtrack.
set -eu
out=$1
write_picture=$2
mkdir -p "$out/Data"
"$write_picture" "$out/Data/begin.bmp"
head -c 176400 /dev/zero | lame --quiet -r -s 44.1 --bitwidth 16 -m s - "$out/Data/demo.mp3"
