#!/usr/bin/env bash
# cpack -G DEB builds up to three packages: qeb (the demo, its data, the
# launcher) and, when they are built, qeb-capture and qeb-make. Their dependencies
# are worked out from their binaries, so the demo's package pulls in no
# video encoder; lintian finds no error or warning in any; no file is in
# two. The demo's package unpacked alone runs like an installed copy and
# names the package to install for a capture; with the capture's package
# unpacked over it, the launcher starts the capture program, and with
# qeb-make's, qeb-make.
#   package_test.sh BUILD_DIR VERSION X_INPUT OTHER_DATA
# $capture is 1 when the build holds the capture program, $make when it holds qeb-make.
set -u
build=$1 version=$2 x_input=$3 other=$4
here=$(dirname "$0")
source "$here/launcher_checks.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; echo "FAILED: cpack"; exit 1; }
demo_package=$work/out/qeb_${version}_amd64.deb
capture_package=$work/out/qeb-capture_${version}_amd64.deb
packages=("$demo_package")
make_package=$work/out/qeb-make_${version}_amd64.deb
[ "${capture:-0}" = 1 ] && packages+=("$capture_package")
[ "${make:-0}" = 1 ] && packages+=("$make_package")
for package in "${packages[@]}"; do
  [ -f "$package" ] || { ls "$work/out"; echo "FAILED: no $package"; exit 1; }
done
[ "$(find "$work/out" -maxdepth 1 -name '*.deb' | wc -l)" = "${#packages[@]}" ] ||
  fail "cpack made other packages than ${packages[*]##*/}: $(ls "$work/out")"

# depends_of PACKAGE: its Depends field, ", " in front for whole-name matches.
depends_of() { echo ", $(dpkg-deb --field "$1" Depends)"; }
for package in "${packages[@]}"; do
  [ "$(dpkg-deb --field "$package" Section)" = games ] || fail "${package##*/}: the section is not games"
  dpkg-deb --field "$package" Description | sed -n 2p | grep -q . || fail "${package##*/}: no long description"
done
depends=$(depends_of "$demo_package")
# The libraries, and what SDL's message boxes need on Wayland (zenity) and
# on X11 (the core fonts, recommended).
for library in libsdl2-2.0-0 libmpg123-0 libglu1 libgl1 libc6 zenity; do
  [[ $depends == *", $library"* ]] || fail "qeb's Depends lacks $library: $depends"
done
[ "$(dpkg-deb --field "$demo_package" Recommends)" = xfonts-base ] || fail "qeb does not recommend xfonts-base"
for library in libavcodec libavformat libavutil libswscale libswresample libegl1 qeb-capture libfontconfig1 qeb-make; do
  [[ $depends == *", $library"* ]] && fail "qeb depends on $library, which only the capture or qeb-make needs: $depends"
done
if [ "${capture:-0}" = 1 ]; then
  depends=$(depends_of "$capture_package")
  for library in "qeb (= $version)" libavcodec libavformat libswscale libegl1 libc6; do
    [[ $depends == *", $library"* ]] || fail "qeb-capture's Depends lacks $library: $depends"
  done
fi
if [ "${make:-0}" = 1 ]; then
  depends=$(depends_of "$make_package")
  for library in "qeb (= $version)" libavcodec libavformat libswscale libswresample libavfilter libmp3lame0 libfreetype6 libfontconfig1 fonts-dejavu-core libc6; do
    [[ $depends == *", $library"* ]] || fail "qeb-make's Depends lacks $library: $depends"
  done
fi
# dpkg refuses to install a file that another package owns.
files() { dpkg-deb -c "$1" | grep -v '^d' | awk '{print $6}' | sort; }
for ((i = 0; i < ${#packages[@]}; ++i)); do
  for ((j = i + 1; j < ${#packages[@]}; ++j)); do
    shared=$(comm -12 <(files "${packages[i]}") <(files "${packages[j]}"))
    [ -z "$shared" ] || fail "files in both ${packages[i]##*/} and ${packages[j]##*/}: $shared"
  done
done

if command -v lintian >/dev/null; then
  for package in "${packages[@]}"; do
    # Lintian refuses nothing as root, it only says it would rather not.
    lintian "$package" >"$work/lintian.log" 2>&1
    grep -E '^(E|W): ' "$work/lintian.log" && fail "lintian reports errors or warnings on ${package##*/}"
  done
else
  fail "lintian is not installed"
fi

dpkg-deb -x "$demo_package" "$work/root"
check_installed "$work/root/usr" "$version" "$x_input" "$other"
launcher=$work/root/usr/$bindir/qeb
# qeb VERB ARGS... without the package qeb-VERB ends with 127 and names the
# package; once BUILT (1) the package is unpacked, and qeb VERB --help works.
check_verb() {
  local verb=$1 built=$2 package=$3 code=0
  shift 3
  (cd "$work" && "$launcher" "$verb" "$@") >"$work/out.log" 2>&1 || code=$?
  [ "$code" = 127 ] || fail "qeb $verb without qeb-$verb ended with $code, expected 127"
  grep -q "install the package qeb-$verb" "$work/out.log" || fail "qeb $verb without qeb-$verb: $(cat "$work/out.log")"
  [ "$built" = 1 ] || return 0
  dpkg-deb -x "$package" "$work/root"
  code=0
  (cd "$work" && "$launcher" "$verb" --help) >"$work/out.log" 2>&1 || code=$?
  [ "$code" = 0 ] && grep -q "^usage: qeb-$verb" "$work/out.log" ||
    fail "qeb $verb --help with qeb-$verb unpacked: exit code $code, $(cat "$work/out.log")"
}
check_verb capture "${capture:-0}" "$capture_package" clip.mp4
check_verb make "${make:-0}" "$make_package" pictures -o show
[ $failures = 0 ] && echo "package: all checks passed"
exit $((failures > 0))
