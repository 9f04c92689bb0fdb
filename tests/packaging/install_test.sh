#!/usr/bin/env bash
# cmake --install into a staging folder (DESTDIR) holds the expected files;
# its launcher, run from unrelated folders, answers its command line and
# shows the installed demo on a private Xvfb.
#   install_test.sh BUILD_DIR VERSION X_INPUT OTHER_DATA
# $bindir, $programdir and $datadir name the build's install folders.
set -u
build=$1 version=$2 x_input=$3 other=$4
here=$(dirname "$0")
source "$here/launcher_checks.sh"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR=$stage cmake --install "$build" --prefix /usr/local >"$stage/install.log" 2>&1 ||
  { cat "$stage/install.log"; echo "FAILED: cmake --install"; exit 1; }
check_installed "$stage/usr/local" "$version" "$x_input" "$other"
[ $failures = 0 ] && echo "staged install: all checks passed"
exit $((failures > 0))
