#!/usr/bin/env bash
# MP3 fixtures for the Win32 decoder's tests, made on the build machine:
# a tone of 1.5 s (440 Hz left, 660 Hz right) encoded by lame at 44.1 kHz
# stereo and at 48 kHz stereo, and mpg123's own decode of the first, which
# the decoder must match.
#   make_mp3_fixtures.sh OUTPUT_DIR
set -eu
out=$1
mkdir -p "$out"
python3 - "$out/tone.raw" <<'PY'
import math, struct, sys
rate = 44100
with open(sys.argv[1], "wb") as f:
    for n in range(rate * 3 // 2):
        left = int(8000 * math.sin(2 * math.pi * 440 * n / rate))
        right = int(8000 * math.sin(2 * math.pi * 660 * n / rate))
        f.write(struct.pack("<hh", left, right))
PY
lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian -m s -b 128 "$out/tone.raw" "$out/tone44.mp3"
lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian -m s --resample 48 -b 128 "$out/tone.raw" "$out/tone48.mp3"
mpg123 --quiet -s "$out/tone44.mp3" >"$out/tone44.pcm"
rm "$out/tone.raw"
