#!/usr/bin/env bash
# Every script in scripts/ answers --help with its usage and does nothing
# else; install-deps.sh installs through sudo when not run as root, saying
# so first, and stops with the list of packages where apt-get is missing.
#   scripts_test.sh SOURCE_DIR
set -u
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# Stand-ins for every program a script might start: each records its name
# and arguments in $work/calls.
mkdir -p "$work/stand-ins"
for program in apt-get sudo cmake ctest cpack make ninja Xvfb wine clang-format clang clang++ python3 git nproc \
    dpkg-query id; do
  printf '#!/bin/sh\necho "%s $*" >> "%s/calls"\n' "$program" "$work" > "$work/stand-ins/$program"
  chmod +x "$work/stand-ins/$program"
done

for script in "$source_dir"/scripts/*.sh; do
  name=$(basename "$script")
  rm -f "$work/calls"
  code=0
  PATH=$work/stand-ins:$PATH bash "$script" --help >"$work/out" 2>"$work/err" || code=$?
  [ "$code" = 0 ] || fail "$name --help: exit code $code"
  grep -qi "usage:.*$name" "$work/out" || fail "$name --help prints no usage line naming it"
  [ ! -e "$work/calls" ] || fail "$name --help ran: $(cat "$work/calls")"
done

install_deps=$source_dir/scripts/install-deps.sh

# A user other than root, with every package missing: sudo is announced,
# then runs apt-get.
cat > "$work/stand-ins/id" <<EOF_ID
#!/bin/sh
echo 1000
EOF_ID
cat > "$work/stand-ins/dpkg-query" <<EOF_QUERY
#!/bin/sh
echo "dpkg-query \$*" >> "$work/calls"
exit 1
EOF_QUERY
rm -f "$work/calls"
PATH=$work/stand-ins:$PATH bash "$install_deps" demo >"$work/out" 2>&1 || fail "install-deps.sh as a user: exit code $?"
grep -q "with sudo" "$work/out" || fail "install-deps.sh does not say it uses sudo: $(cat "$work/out")"
grep -q "^sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends .*libsdl2-dev" "$work/calls" ||
  fail "install-deps.sh did not install through sudo: $(cat "$work/calls")"
grep -q "googletest" "$work/calls" && fail "install-deps.sh demo installs the tests' packages"

# No apt-get and no dpkg-query: the packages are listed, nothing is run.
mkdir -p "$work/plain"
for program in bash sed grep id; do ln -s "$(command -v $program)" "$work/plain/$program"; done
code=0
PATH=$work/plain bash "$install_deps" demo >"$work/out" 2>&1 || code=$?
[ "$code" = 1 ] || fail "install-deps.sh without apt-get: exit code $code, expected 1"
grep -q "apt-get was not found" "$work/out" && grep -q "^  libsdl2-dev$" "$work/out" ||
  fail "install-deps.sh without apt-get does not list the packages: $(cat "$work/out")"

exit $((failures > 0))
