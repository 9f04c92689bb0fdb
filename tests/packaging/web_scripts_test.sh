#!/usr/bin/env bash
# scripts/make-web.sh and scripts/serve-web.sh take their folders from the
# caller's folder, and make-web.sh replaces only a page it made. The scripts
# run from a copy of the project whose program build is a stand-in (cmake
# does nothing, qeb.js and qeb.wasm are a few bytes); the data is packed by
# Emscripten's real file packager, from inside a hidden folder.
#   web_scripts_test.sh SOURCE_DIR
set -u
source_dir=$1
top=$(mktemp -d)
# Everything lies in a hidden folder, as in a checkout under ~/.local; the
# names in the data set that start with a dot must stay out of the page.
work=$top/.hidden
mkdir "$work"
server=
trap '[ -z "$server" ] || kill "$server" 2>/dev/null; rm -rf "$top"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# The project: the two scripts, the page's index.html, a built program and
# a data/ folder of its own that no page here may take.
project=$work/project
mkdir -p "$project/scripts" "$project/src/platform/web" "$project/build/wasm-release/src/shell" "$project/data/Data" \
  "$project/docs/images"
cp "$source_dir/scripts/make-web.sh" "$source_dir/scripts/serve-web.sh" "$project/scripts/"
cp "$source_dir/LICENSE" "$project/"
cp "$source_dir/docs/images/opening.png" "$project/docs/images/"
cp "$source_dir/src/platform/web/index.html" "$project/src/platform/web/"
touch "$project/build/wasm-release/CMakeCache.txt"
echo 'program' >"$project/build/wasm-release/src/shell/qeb.js"
echo 'program' >"$project/build/wasm-release/src/shell/qeb.wasm"
echo 'not for the page' >"$project/data/Data/project-only.bmp"
echo 'kept' >"$project/sentinel"

mkdir -p "$work/stand-ins"
for program in cmake emcmake em++; do
  printf '#!/bin/sh\necho "%s $*" >> "%s/calls"\n' "$program" "$work" >"$work/stand-ins/$program"
  chmod +x "$work/stand-ins/$program"
done
export PATH=$work/stand-ins:$PATH

# The caller's own folder, with its data set.
caller=$work/caller
mkdir -p "$caller/data/Data"
echo 'picture' >"$caller/data/Data/begin.bmp"
echo 'sound' >"$caller/data/Data/demo.mp3"
echo 'picture' >"$caller/data/Data/at@sign.bmp"
mkdir "$caller/data/Data/.thumbnails"
echo 'hidden' >"$caller/data/Data/.thumbnails/begin.bmp"
echo 'hidden' >"$caller/data/.written"
mkdir "$caller/not-a-page"
echo 'kept' >"$caller/not-a-page/notes.txt"
echo 'kept' >"$caller/a-file"

# make_web FOLDER ARGS...: runs make-web.sh in FOLDER; sets code and err.
make_web() {
  local folder=$1
  shift
  rm -f "$work/calls"
  code=0
  (cd "$folder" && bash "$project/scripts/make-web.sh" "$@") >/dev/null 2>"$work/err" || code=$?
  err=$(cat "$work/err")
}

# Refused before anything is built; what was there stays.
while IFS='|' read -r folder target what; do
  make_web "$folder" --data "$caller/data" --out "$target"
  [ "$code" = 1 ] || fail "--out $target from $folder ($what): exit code $code, expected 1"
  grep -q "is not a page made by make-web.sh" <<<"$err" || fail "--out $target ($what): no clear message: $err"
  [ ! -e "$work/calls" ] || fail "--out $target ($what): built before refusing: $(cat "$work/calls")"
done <<CASES
$project|.|the checkout itself
$caller|$project|the checkout named from elsewhere
$project|build|a build tree
$caller|not-a-page|a folder that is not a page
$caller|a-file|a file
CASES
[ -f "$project/sentinel" ] && [ -f "$project/build/wasm-release/CMakeCache.txt" ] ||
  fail "the checkout lost files"
[ -f "$caller/not-a-page/notes.txt" ] && [ -f "$caller/a-file" ] || fail "the caller's files were touched"

# Relative --data and --out name the caller's folders.
make_web "$caller" --data data --out page
[ "$code" = 0 ] || fail "a page from relative paths: exit code $code: $err"
[ -f "$caller/page/index.html" ] && [ -f "$caller/page/.qeb-web-page" ] ||
  fail "no page with its marker in the caller's folder: $(ls -A "$caller/page" 2>&1)"
[ ! -e "$project/page" ] || fail "the page went into the project's folder"
grep -q '"/Data/begin.bmp"' "$caller/page/qeb.data.js" || fail "the caller's data is not in the page"
grep -q '"/Data/at@sign.bmp"' "$caller/page/qeb.data.js" || fail "a name with an @ is not in the page"
grep -q 'project-only' "$caller/page/qeb.data.js" && fail "the project's own data/ was packed"
grep -q 'thumbnails\|written' "$caller/page/qeb.data.js" && fail "hidden names were packed"
grep -q '"/Data/demo.mp3"' "$caller/page/qeb-soundtrack.data.js" || fail "the soundtrack is not in its package"
python3 -c 'import sys, zipfile; names = zipfile.ZipFile(sys.argv[1]).namelist(); sys.exit(any(".qeb-web-page" in n for n in names) or "qeb-web/index.html" not in names)' \
  "$caller/qeb-page.zip" || fail "the zip beside the page is missing or holds the marker"

[ -f "$caller/page/LICENSE.txt" ] && grep -q 'href="LICENSE.txt"' "$caller/page/index.html" ||
  fail "the page does not carry and name its licence"
grep -q 'source:' "$caller/page/index.html" && fail "a page made without --source names a source"

# --source names where the source lives; anything but a plain web address is refused.
make_web "$caller" --data data --out page --source https://example.org/qeb
grep -q 'source: <a href="https://example.org/qeb">' "$caller/page/index.html" ||
  fail "--source is not on the page (exit code $code: $err)"
for address in 'javascript:alert(1)' 'https://x/"><script>' 'https://x/a|b' ''; do
  make_web "$caller" --data data --out page --source "$address"
  [ "$code" = 2 ] && grep -q 'needs a web address' <<<"$err" || fail "--source '$address': exit code $code: $err"
done

# A page it made is replaced on the next run.
echo 'stale' >"$caller/page/stale.txt"
make_web "$caller" --data data --out page
[ "$code" = 0 ] || fail "a second run over its own page: exit code $code: $err"
[ ! -e "$caller/page/stale.txt" ] && [ -f "$caller/page/.qeb-web-page" ] || fail "the second run did not replace the page"

# The same page without its marker is refused.
rm "$caller/page/.qeb-web-page"
make_web "$caller" --data data --out page
[ "$code" = 1 ] && [ -f "$caller/page/index.html" ] || fail "a page without its marker was replaced (exit code $code)"

# serve-web.sh serves DIR from the caller's folder, and says when there is no page there.
code=0
(cd "$caller" && bash "$project/scripts/serve-web.sh" no-such-page --port 0) >/dev/null 2>"$work/err" || code=$?
[ "$code" = 1 ] && grep -q "no page in" "$work/err" || fail "serve-web.sh without a page: exit code $code: $(cat "$work/err")"
(cd "$caller" && exec bash "$project/scripts/serve-web.sh" page --port 0) >"$work/served" 2>&1 &
server=$!
for _ in $(seq 100); do
  grep -q 'http://' "$work/served" && break
  sleep 0.1
done
url=$(grep -o 'http://127.0.0.1:[0-9]*/' "$work/served")
if [ -z "$url" ]; then
  fail "serve-web.sh page: $(cat "$work/served")"
else
  python3 -c 'import sys, urllib.request; sys.stdout.buffer.write(urllib.request.urlopen(sys.argv[1] + "index.html").read())' \
    "$url" >"$work/index.html" || fail "serve-web.sh page: cannot fetch $url"
  cmp -s "$work/index.html" "$caller/page/index.html" || fail "serve-web.sh page served something else"
fi

exit $((failures > 0))
