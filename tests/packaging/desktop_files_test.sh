#!/usr/bin/env bash
# The desktop entry, the AppStream data and the manual page pass their
# validators, and the AppStream data names the desktop entry that is installed.
#   desktop_files_test.sh DESKTOP_FILE METAINFO_FILE MANUAL_PAGE
set -u
desktop=$1 metainfo=$2 manual=$3
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" ||
  fail "the AppStream data does not launch $(basename "$desktop")"
# groff warns about every construct it cannot set; there must be none.
warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$manual" 2>&1)
[ -z "$warnings" ] || fail "the manual page: $warnings"
exit $((failures > 0))
