#!/usr/bin/env bash
# MP3 fixtures for the Win32 decoder's tests, made on the build machine: a
# tone of 1.5 s (440 Hz left, 660 Hz right) encoded by lame at 44.1 kHz
# stereo, the same with a checksum in every frame (-p), at 48 kHz stereo and
# at 22.05 kHz mono, and mpg123's own decode of each at its own rate and
# channel count (NAME.pcm beside NAME.mp3), which the decoder must match.
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
raw="lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian"
$raw -m s -b 128 "$out/tone.raw" "$out/tone44.mp3"
$raw -m s -b 128 -p "$out/tone.raw" "$out/tone44crc.mp3"
$raw -m s --resample 48 -b 128 "$out/tone.raw" "$out/tone48.mp3"
$raw -a --resample 22.05 -b 48 "$out/tone.raw" "$out/tone22mono.mp3"
for name in tone44 tone44crc tone48 tone22mono; do
  mpg123 --quiet -s "$out/$name.mp3" >"$out/$name.pcm"
done
rm "$out/tone.raw"
