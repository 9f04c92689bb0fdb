#!/usr/bin/env bash
# usage: scripts/make-web.sh [--data DIR] [--out OUTDIR] [--source URL]
# Builds the demo as a web page into OUTDIR (default build/web): index.html,
# preview.png (the picture for shared links), qeb.js and qeb.wasm (the demo
# compiled with Emscripten, build/wasm-release),
# the data packed by Emscripten's file packager (qeb.data and its loader
# qeb.data.js; the soundtrack apart in qeb-soundtrack.data and .data.js), and
# a zip of the folder beside it (build/qeb-web.zip for build/web). Any static file
# host serves the folder; file:// cannot load the .wasm (scripts/serve-web.sh
# serves it on 127.0.0.1).
#
# The data is the default data set, written by the native data tool
# (build/datagen); with --data DIR it is DIR's files instead, laid out as the
# demo's working directory (DIR/Data/...). The program is rebuilt only when
# its sources changed, so pages for other data sets are cheap to make.
#
# The page names its licence (LICENSE.txt beside it) and, with --source,
# where its source lives.
#
# DIR and OUTDIR are taken from the folder the script is started in. An
# existing OUTDIR is replaced only if it is a page this script made (each
# one holds a .qeb-web-page file); anything else is refused.
if [ "${1:-}" = --help ]; then sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"; exit 0; fi
set -eu -o pipefail
data=
out=
source=
while [ $# -gt 0 ]; do
  case $1 in
    --data) [ $# -ge 2 ] && [ -n "$2" ] || { echo "make-web: --data needs a folder" >&2; exit 2; }; data=$2; shift ;;
    --out) [ $# -ge 2 ] && [ -n "$2" ] || { echo "make-web: --out needs a folder" >&2; exit 2; }; out=$2; shift ;;
    --source)
      [ $# -ge 2 ] && [[ "$2" =~ ^https?://[^[:space:]\"\'\<\>\&|]+$ ]] ||
        { echo "make-web: --source needs a web address (http:// or https://)" >&2; exit 2; }
      source=$2
      shift
      ;;
    *) echo "make-web: unknown argument '$1' (usage: scripts/make-web.sh [--data DIR] [--out OUTDIR] [--source URL])" >&2; exit 2 ;;
  esac
  shift
done
# The caller's paths, taken before the script moves to the project's root.
if [ -n "$data" ]; then
  [ -d "$data" ] || { echo "make-web: $data is not a folder" >&2; exit 2; }
  data=$(realpath "$data")
fi
[ -z "$out" ] || out=$(realpath -m "$out")
cd "$(dirname "$0")/.."
root=$PWD
[ -n "$out" ] || out=$root/build/web

# Each page holds this file; an existing OUTDIR without it is left alone.
marker=.qeb-web-page
# Stops unless OUTDIR is missing or a page this script made: a folder (not a
# link) with the marker in it.
check_out() {
  if [ -e "$out" ] || [ -L "$out" ]; then
    if [ -L "$out" ] || [ ! -d "$out" ] || [ ! -f "$out/$marker" ]; then
      echo "make-web: $out is not a page made by make-web.sh (it holds no $marker); not replacing it" >&2
      echo "make-web: choose another --out, or remove it yourself" >&2
      exit 1
    fi
  fi
}
check_out
for tool in emcmake em++ python3; do
  command -v $tool >/dev/null || { echo "make-web: $tool is missing (scripts/install-deps.sh web)" >&2; exit 1; }
done
# Emscripten's optimising link runs node tools that need Debian's acorn.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

# The program: qeb.js and qeb.wasm.
wasm=build/wasm-release
if [ ! -f "$wasm/CMakeCache.txt" ]; then
  nice -n 10 emcmake cmake -S . -B "$wasm" -DCMAKE_BUILD_TYPE=Release -DQEB_BUILD_TESTS=OFF >/dev/null
fi
nice -n 10 cmake --build "$wasm" --target qeb -j2 | { grep -v '^\[\|^-- ' || true; }

# The default data set, written again when the data tool changed.
if [ -z "$data" ]; then
  nice -n 10 cmake -S . -B build/datagen -DCMAKE_BUILD_TYPE=Release \
    -DQEB_BUILD_TESTS=OFF -DQEB_BUILD_BENCHMARKS=OFF -DQEB_BUILD_TOOLS=OFF >/dev/null
  nice -n 10 cmake --build build/datagen --target qeb-datagen -j2 | { grep -v '^\[\|^-- ' || true; }
  datagen=build/datagen/tools/datagen/qeb-datagen
  data=build/web-data
  if [ ! -f "$data/.written" ] || [ "$datagen" -nt "$data/.written" ]; then
    rm -rf "$data"
    "$datagen" "$data"
    touch "$data/.written"
  fi
fi
data=$(realpath "$data")

# The page, put together beside OUTDIR and moved into place at the end, so
# a failure leaves no half-written page.
parent=$(dirname "$out")
mkdir -p "$parent"
staging=$(mktemp -d "$parent/.make-web.XXXXXX")
trap 'rm -rf "$staging"' EXIT
page=$staging/page
mkdir "$page"
cp src/platform/web/index.html "$wasm/src/shell/qeb.js" "$wasm/src/shell/qeb.wasm" "$page/"
# The picture a shared link shows (og:image): the opening frame, as
# scripts/render-frames.sh draws it for the README.
cp docs/images/opening.png "$page/preview.png"
cp LICENSE "$page/LICENSE.txt"
if [ -n "$source" ]; then
  sed -i "s|<!--source-->| \&middot; source: <a href=\"$source\">$source</a>|" "$page/index.html"
fi
# Packs into NAME and NAME.js in the page with Emscripten's file packager,
# which takes ARGS (what to preload, what to leave out). LZ4 halves the
# pictures; the program unpacks them as it reads them.
pack() {  # NAME ARGS...
  local name=$1
  shift
  if ! (cd "$page" && python3 "$(em-config EMSCRIPTEN_ROOT)/tools/file_packager.py" "$name" "$@" \
    --lz4 --js-output="$name.js" --no-force >"$staging/pack.log" 2>&1); then
    cat "$staging/pack.log" >&2
    echo "make-web: packing $data into $name failed" >&2
    exit 1
  fi
}
# The data folder becomes the program's working directory (/). Files whose
# names start with a dot (the stamp above), or that lie in a folder whose
# name does, stay out; the names are taken below the data folder, which may
# itself lie in a hidden folder. The program starts once qeb.data has
# arrived: everything but the soundtrack. The soundtrack's files (any .mp3)
# are most of the data; they go into qeb-soundtrack.data, which the page
# fetches once the first frame is on the screen. A data set without one gets
# no second package. The files go in by name, so the same data makes the
# same packages. (The packer reads SOURCE@TARGET, with @@ for an @.)
data_files=()
sound_files=()
shopt -s lastpipe  # the loop below fills the lists in this shell
(cd "$data" && find -L . -type f ! -path '*/.*' -printf '%P\0') | sort -z |
  while IFS= read -r -d '' file; do
    entry=${data//@/@@}/${file//@/@@}@/${file//@/@@}
    case $file in
      *.[mM][pP]3) sound_files+=(--preload "$entry") ;;
      *) data_files+=(--preload "$entry") ;;
    esac
  done
pack qeb.data "${data_files[@]}"
if [ ${#sound_files[@]} -gt 0 ]; then
  pack qeb-soundtrack.data "${sound_files[@]}"
fi

zip_path=$parent/qeb-$(basename "$out").zip
python3 - "$page" "$staging/page.zip" <<'PY'
import os, sys, zipfile
page, target = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
    for name in sorted(os.listdir(page)):
        archive.write(os.path.join(page, name), "qeb-web/" + name)
PY
# Written after the zip, so it stays out of it.
echo "A page made by Qeb's scripts/make-web.sh, which replaces this folder when asked to make it again." >"$page/$marker"
check_out  # again: OUTDIR may have appeared while the page was made
rm -rf "$out"
mv "$page" "$out"
mv "$staging/page.zip" "$zip_path"
echo "make-web: $out ($(du -sh "$out" | cut -f1)), $zip_path"
