#!/usr/bin/env bash
# A minimal data directory for the end-to-end tests: one picture (begin.bmp,
# 2x2, 24-bit) and a second of silence as the soundtrack.
set -eu
out=$1
mkdir -p "$out/Data"
# 14-byte file header, 40-byte info header, two rows of 2 pixels padded to 8 bytes.
printf 'BM\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00' >"$out/Data/begin.bmp"
printf '\x28\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00\x01\x00\x18\x00' >>"$out/Data/begin.bmp"
printf '\x00\x00\x00\x00\x10\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >>"$out/Data/begin.bmp"
printf '\x00\x00\xff\x00\xff\x00\x00\x00\xff\x00\x00\xff\xff\xff\x00\x00' >>"$out/Data/begin.bmp"
head -c 176400 /dev/zero | lame --quiet -r -s 44.1 --bitwidth 16 -m s - "$out/Data/demo.mp3"
