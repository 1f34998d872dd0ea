#!/usr/bin/env bash
# Every installed unit passes `systemd-analyze verify` and its offline security exposure stays at or
# under the bar that packaging/programs gives it; every installed manual page renders without a
# warning. Usage: units-and-manuals.sh BUILD_DIR SOURCE_DIR.
set -euo pipefail
build=$1
source_dir=$2
. "$source_dir/tests/e2e/packaging/common.sh"

root=$work/root
stage "$build" "$root"

# verify resolves what a unit requires (dbus.service) among the machine's units: the installed files
# go on top of a copy of them.
mkdir -p "$work/verify/usr/lib/systemd"
cp -a /usr/lib/systemd/system "$work/verify/usr/lib/systemd/"
cp -a "$root/." "$work/verify/"
export MANPATH=$root/usr/share/man   # verify runs `man` on each Documentation= page

while read -r program directory manual bar; do
    page=$root/usr/share/man/man$manual/$program.$manual.gz
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) ||
        fail "man -l $program.$manual failed: $warnings"
    [ -z "$warnings" ] || fail "$program.$manual renders with warnings: $warnings"
    echo "manual $program($manual): renders"

    [ "$bar" != - ] || continue
    unit=$program.service
    systemd-analyze verify --root="$work/verify" "$work/verify/usr/lib/systemd/system/$unit" \
        >"$work/verify.log" 2>&1 || fail "verify $unit: $(cat "$work/verify.log")"
    [ ! -s "$work/verify.log" ] || fail "verify $unit says: $(cat "$work/verify.log")"
    exposure=$(systemd-analyze security --offline=true --root="$root" "$unit" 2>&1 |
        sed -n 's/^→ Overall exposure level for [^:]*: \([0-9.]*\) .*/\1/p')
    [ -n "$exposure" ] || fail "no exposure level for $unit"
    awk -v e="$exposure" -v b="$bar" 'BEGIN { exit !(e <= b) }' ||
        fail "$unit: exposure $exposure is over its bar $bar"
    echo "unit $unit: verified, exposure $exposure (bar $bar)"
done < <(programs "$source_dir")
echo "== passed"
