#!/usr/bin/env bash
# usage: scripts/wine-run.sh STATE_DIR PROGRAM.exe [ARGS...]
# Runs a Windows program under Debian's 64-bit Wine with a private setup.
# STATE_DIR holds the Wine prefix (made on first use, 6-7 s) and a HOME whose
# .asoundrc gives Wine one silent sound device (without it waveOut has no
# device on a machine without a sound card). QEB_WINE_HOME names another
# HOME, for a test that records what was played. The display is the caller's
# DISPLAY. CMake uses this as the emulator of cross-built tests.
usage() { sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"; }
if [ "${1:-}" = --help ]; then usage; exit 0; fi
if [ $# -lt 2 ]; then usage >&2; exit 2; fi
set -eu
state=$(realpath -m "$1")
shift
wine=$(dpkg -L wine64 | grep -m1 '/wine64$')
export WINEPREFIX=$state/prefix
export HOME=${QEB_WINE_HOME:-$state/home}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LIBGL_ALWAYS_SOFTWARE=1
mkdir -p "$HOME"
[ -f "$HOME/.asoundrc" ] || printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
exec "$wine" "$@"
