#!/usr/bin/env bash
# cpack -G DEB builds qeb_<version>_amd64.deb with its dependencies worked out
# from the binaries, lintian finds no error in it, and its contents, unpacked
# into a temporary root, run like an installed copy.
#   package_test.sh BUILD_DIR VERSION X_INPUT OTHER_DATA
set -u
build=$1 version=$2 x_input=$3 other=$4
here=$(dirname "$0")
source "$here/launcher_checks.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; echo "FAILED: cpack"; exit 1; }
package=$work/out/qeb_${version}_amd64.deb
[ -f "$package" ] || { ls "$work/out"; echo "FAILED: no $package"; exit 1; }

info=$(dpkg-deb --info "$package")
depends=$(echo "$info" | sed -n 's/^ Depends: //p')
for library in libsdl2-2.0-0 libmpg123-0 libglu1 libgl1 libc6; do
  [[ ", $depends" == *", $library"* ]] || fail "Depends lacks $library: $depends"
done
echo "$info" | grep -q '^ Section: games$' || fail "the section is not games"
echo "$info" | grep -q '^ Description: ..' || fail "no description"

if command -v lintian >/dev/null; then
  # Lintian refuses nothing as root, it only says it would rather not.
  lintian "$package" >"$work/lintian.log" 2>&1
  grep '^E: ' "$work/lintian.log" && fail "lintian reports errors"
  grep '^W: ' "$work/lintian.log"
else
  fail "lintian is not installed"
fi

dpkg-deb -x "$package" "$work/root"
check_installed "$work/root/usr" "$version" "$x_input" "$other"
[ $failures = 0 ] && echo "package: all checks passed"
exit $((failures > 0))
