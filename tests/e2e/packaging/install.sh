#!/usr/bin/env bash
# The installation: `cmake --install BUILD --prefix /usr` into a staging directory. Every installed
# unit passes `systemd-analyze verify`, and a program's unit keeps its offline security exposure at or
# under the bar packaging/programs gives it; every installed manual page renders without a warning.
# What the package holds and how its units, users and bus policy behave on a node is the system
# test's (tests/e2e/system/). Usage: install.sh BUILD_DIR SOURCE_DIR.
set -euo pipefail
build=$1
source_dir=$2
. "$source_dir/tests/e2e/packaging/common.sh"

root=$work/root
stage "$build" "$root"

echo "== every manual page renders without a warning"
for page in "$root"/usr/share/man/man*/*.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) ||
        fail "man -l $page failed: $warnings"
    [ -z "$warnings" ] || fail "$page renders with warnings: $warnings"
    echo "manual $(basename "$page" .gz): renders"
done

echo "== every unit verified, a program's within its exposure bar"
# verify resolves what a unit requires (dbus.service) among the machine's units, and looks for the
# programs it runs (the reloads call the machine's kill): the installed files go on top of a copy.
mkdir -p "$work/verify/usr/lib/systemd" "$work/verify/usr/bin"
cp -a /usr/lib/systemd/system "$work/verify/usr/lib/systemd/"
cp "$(readlink -f /bin/kill)" "$work/verify/usr/bin/kill"
ln -s usr/bin "$work/verify/bin"
cp -a "$root/." "$work/verify/"
export MANPATH=$root/usr/share/man # verify runs `man` on each Documentation= page
for unit in "$root"/usr/lib/systemd/system/*; do
    unit=$(basename "$unit")
    systemd-analyze verify --root="$work/verify" "$work/verify/usr/lib/systemd/system/$unit" \
        >"$work/verify.log" 2>&1 || fail "verify $unit: $(cat "$work/verify.log")"
    [ ! -s "$work/verify.log" ] || fail "verify $unit says: $(cat "$work/verify.log")"
    echo "unit $unit: verified"
done
while read -r program _ _ bar; do
    [ "$bar" != - ] || continue
    exposure=$(systemd-analyze security --offline=true --root="$root" "$program.service" 2>&1 |
        sed -n 's/^→ Overall exposure level for [^:]*: \([0-9.]*\) .*/\1/p')
    [ -n "$exposure" ] || fail "no exposure level for $program.service"
    awk -v e="$exposure" -v b="$bar" 'BEGIN { exit !(e <= b) }' ||
        fail "$program.service: exposure $exposure is over its bar $bar"
    echo "unit $program.service: exposure $exposure (bar $bar)"
done < <(programs "$source_dir")
echo "== passed"
