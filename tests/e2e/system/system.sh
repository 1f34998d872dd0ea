#!/usr/bin/env bash
# The package on a node, in a booted systemd. `cpack -G DEB` builds the package an integrator
# installs: exactly the installed files, root-owned, the configuration of packaging/etc as its
# conffiles, depending on the libraries the programs link, the system bus, sysusers and Debian's unit
# helpers, suggesting linuxptp. Then systemd boots in a container whose root is an overlay of this
# machine's own root with a tmpfs upper layer (nothing on the machine changes), with a private
# network and without CAP_SYS_TIME (nspawn's default); systemd-timesyncd and timemaster are masked
# there, so nothing adjusts the clock. Inside, with the shipped units only, inside.sh checks the
# package with apt on dbus-daemon: a fresh install, the wire and every decision of the bus policy,
# the daemon's trace, the watchdog, the stop of the set, remove and purge; then, after a reboot, the
# wire and the policy again with dbus-broker as the system bus, whose journal says nothing about it.
# Usage: system.sh BUILD_DIR SOURCE_DIR. Needs root and systemd-nspawn (exit 77, a skip, otherwise).
set -euo pipefail

build=$1
source_dir=$2
if [ "$(id -u)" -ne 0 ] || ! command -v systemd-nspawn >/dev/null; then
    echo "skipped: booting a container needs root and systemd-nspawn (systemd-container)"
    exit 77
fi
# Mounts made from here on vanish with the namespace, however the test ends: a tmpfs for all the
# test writes, the overlay, and a /run of its own where nspawn keeps its state.
if [ -z "${SYNC_SYSTEM_NAMESPACE:-}" ]; then
    SYNC_SYSTEM_NAMESPACE=1 exec unshare --mount --propagation private bash "$0" "$@"
fi
. "$source_dir/tests/e2e/packaging/common.sh"
mount -t tmpfs tmpfs "$work" # the package and the container's upper layer

nspawn=""
leader=""
# shutdown: SIGTERM to nspawn powers the container off; SIGKILL after 30 s.
shutdown() {
    [ -n "$nspawn" ] || return 0
    kill "$nspawn" 2>/dev/null || true
    for _ in $(seq 300); do
        kill -0 "$nspawn" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$nspawn" 2>/dev/null || true
    wait "$nspawn" 2>/dev/null || true
    nspawn=""
}
cleanup() {
    shutdown
    umount "$work/root" 2>/dev/null || true
    umount "$work" 2>/dev/null || true
    umount /run 2>/dev/null || true
    rmdir "$work"
}
trap cleanup EXIT
trap 'exit 1' TERM INT

echo "== the package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
debs=("$work"/deb/sync-lumov-control_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single package: $(ls "$work/deb")"
deb=${debs[0]}
contents=$(dpkg-deb --contents "$deb")
files=$(awk '$1 !~ /^d/ { print $NF }' <<<"$contents" | sort)
[ "$files" = "$(expected_files "$source_dir")" ] ||
    fail "package files differ: $(diff <(expected_files "$source_dir") <(echo "$files"))"
awk '$2 != "root/root" { exit 1 }' <<<"$contents" || fail "files not owned by root: $contents"
[ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - ./conffiles)" = "$(conffiles "$source_dir")" ] ||
    fail "conffiles: $(dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - ./conffiles)"
depends=$(dpkg-deb --field "$deb" Depends)
for dependency in 'libc6 (' 'libsystemd0 (' 'liblttng-ust1 (' 'libmicrohttpd12 (' 'dbus | dbus-system-bus' \
    'systemd | systemd-standalone-sysusers' 'init-system-helpers'; do
    grep -qF "$dependency" <<<"$depends" || fail "Depends lacks $dependency: $depends"
done
grep -q linuxptp <<<"$(dpkg-deb --field "$deb" Suggests)" || fail "Suggests no linuxptp"
echo "$(basename "$deb"): $(wc -l <<<"$files") files; Depends: $depends"

echo "== a container over this machine's root"
mount -t tmpfs tmpfs /run
root=$work/root
mkdir "$root" "$work/upper" "$work/overlay"
mount -t overlay overlay -o "lowerdir=/,upperdir=$work/upper,workdir=$work/overlay" "$root"
# An id of its own, so that it is no first boot (which would apply presets) and no copy of the machine.
systemd-id128 new >"$root/etc/machine-id"
for unit in systemd-timesyncd timemaster; do
    ln -sf /dev/null "$root/etc/systemd/system/$unit.service"
done
# A node lets maintainer scripts start services, which this machine's image forbids (a build-time
# policy-rc.d). man-db's index is left alone: rebuilding it at every apt call takes seconds.
rm -f "$root/usr/sbin/policy-rc.d" "$root/var/lib/man-db/auto-update"
# A service everyone may call, also without naming an interface (the bus's own stands in): that the
# package's policy leaves such calls alone is one of inside.sh's checks.
cat >"$root/etc/dbus-1/system.d/sync-system-test.conf" <<'CONF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><policy context="default"><allow send_destination="org.freedesktop.DBus"/></policy></busconfig>
CONF
mkdir -p "$root/var/tmp/sync-system"
cp "$deb" "$source_dir/tests/e2e/system/inside.sh" "$root/var/tmp/sync-system/"

# boot: the container's systemd up and running, its pid in $leader.
boot() {
    # Should this script be killed, nspawn is told to power the container off all the same.
    setpriv --pdeathsig TERM systemd-nspawn -D "$root" --boot --private-network --register=no --keep-unit \
        --link-journal=no -M "sync-system-$$" >>"$work/console.log" 2>&1 &
    nspawn=$!
    poll 20 find_leader || fail "no container: $(tail -20 "$work/console.log")"
    leader=$(find_leader)
    poll 20 inside test -S /run/systemd/private || fail "no systemd: $(tail -20 "$work/console.log")"
    local state
    state=$(inside timeout 60 systemctl is-system-running --wait) || true
    [ "$state" = running ] || fail "the container is $state: $(inside systemctl list-units --failed --no-legend)"
    local bounding
    bounding=$(awk '$1 == "CapBnd:" { print $2 }' "/proc/$leader/status")
    (((0x$bounding >> 25) & 1)) && fail "the container may set the clock (CAP_SYS_TIME)"
    return 0
}
# find_leader: the pid of the container's systemd, the child of nspawn that is pid 1 inside.
find_leader() {
    local child
    for child in $(pgrep -P "$nspawn"); do
        if grep -qP '^NSpid:\t\d+\t1$' "/proc/$child/status" && [ "$(cat "/proc/$child/comm")" = systemd ]; then
            echo "$child"
            return 0
        fi
    done
    return 1
}
# inside COMMAND...: run in the container, with a clean environment and no way to set the clock.
inside() {
    nsenter -t "$leader" -a env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        LC_ALL=C.UTF-8 setpriv --bounding-set=-sys_time -- "$@"
}
step() {
    inside bash -c 'cd /var/tmp/sync-system && bash inside.sh "$@"' inside "$@"
}

boot
step install
step wire dbus
step trace
step watchdog
step stop-purge
step broker-install
echo "== reboot"
shutdown
boot
step wire dbus-broker
step broker-policy
echo "== passed"
