#!/usr/bin/env bash
# `cpack -G DEB` builds the package an integrator installs with `apt install ./sync-lumov-control_*.deb`:
# it holds exactly the installed files, root-owned; its maintainer scripts create the system users and
# enable every unit of packaging/programs; it depends on the libraries the programs link, the system
# bus, sysusers and Debian's unit helpers. Usage: deb.sh BUILD_DIR SOURCE_DIR.
set -euo pipefail
build=$1
source_dir=$2
. "$source_dir/tests/e2e/packaging/common.sh"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
debs=("$work"/sync-lumov-control_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single package: $(ls "$work")"
deb=${debs[0]}
echo "== $(basename "$deb")"

contents=$(dpkg-deb --contents "$deb")
files=$(awk '$1 !~ /^d/ { print $NF }' <<<"$contents" | sort)
[ "$files" = "$(expected_files "$source_dir")" ] ||
    fail "package files differ: $(diff <(expected_files "$source_dir") <(echo "$files"))"
awk '$2 != "root/root" { exit 1 }' <<<"$contents" || fail "files not owned by root: $contents"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = sync-lumov-control ] || fail "package name $(field Package)"
depends=$(field Depends)
for dependency in 'libc6 (' 'libsystemd0 (' 'liblttng-ust1 (' 'dbus | dbus-system-bus' \
    'systemd | systemd-standalone-sysusers' 'init-system-helpers'; do
    grep -qF "$dependency" <<<"$depends" || fail "Depends lacks $dependency: $depends"
done

dpkg-deb --control "$deb" "$work/control"
for script in postinst prerm postrm; do
    [ -x "$work/control/$script" ] || fail "no executable $script"
    sh -n "$work/control/$script" || fail "$script is not valid sh"
done
sysusers=$(programs "$source_dir" | while read -r program _; do
    [ ! -f "$source_dir/packaging/$program.sysusers" ] || printf '%s.conf\n' "$program"
done | paste -sd ' ')
grep -qxF "    systemd-sysusers $sysusers" "$work/control/postinst" ||
    fail "postinst does not create the users of $sysusers"
units="$(programs "$source_dir" | awk '$4 != "-" { printf "%s.service ", $1 }')sync-lumov-control.target"
for script in postinst prerm postrm; do
    grep -qF "for unit in $units; do" "$work/control/$script" || fail "$script does not handle $units"
done
grep -q 'deb-systemd-helper enable "$unit"' "$work/control/postinst" || fail "postinst enables no unit"
grep -q 'systemctl reload dbus.service' "$work/control/postinst" || fail "postinst does not reload the bus policy"
[ "$(cat "$work/control/conffiles")" = "$(conffiles "$source_dir")" ] ||
    fail "conffiles: $(cat "$work/control/conffiles")"
grep -q linuxptp <<<"$(field Suggests)" || fail "Suggests: $(field Suggests)"
echo "Depends: $depends"
echo "== passed"
