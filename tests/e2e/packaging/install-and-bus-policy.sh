#!/usr/bin/env bash
# The installation and its bus policy: `cmake --install BUILD --prefix /usr` into a staging directory
# puts exactly the expected files in place, with a unit that starts the installed daemon; a
# dbus-daemon whose configuration includes the installed policy starts, lets root own org.tavi names
# and deliver messages, and refuses both to an unprivileged user.
# Usage: install-and-bus-policy.sh BUILD_DIR TAVI_PING. Needs root (exit 77, a skip, otherwise).
set -euo pipefail

build=$1
tavi_ping=$2
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: switching to an unprivileged user needs root"
    exit 77
fi

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# poll SECONDS COMMAND...: true once COMMAND succeeds, checked every 0.1 s.
poll() {
    local tenths=$(($1 * 10))
    shift
    for _ in $(seq "$tenths"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

echo "== install into a staging directory"
root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log" || fail "install: $(cat "$work/install.log")"
expected="./usr/bin/sync-sim
./usr/bin/synclumovcontrol
./usr/lib/systemd/system/sync-clockd.service
./usr/lib/systemd/system/sync-esmcd.service
./usr/lib/systemd/system/sync-lumov-control.service
./usr/sbin/sync-clockd
./usr/sbin/sync-esmcd
./usr/sbin/sync-lumov-control
./usr/share/dbus-1/system.d/org.tavi.conf
./usr/share/sync-lumov-control/scenarios/demo.scn"
installed=$(cd "$root" && find . -type f -o -type l | sort)
[ "$installed" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$installed"))"
for program in usr/sbin/sync-lumov-control usr/sbin/sync-esmcd usr/sbin/sync-clockd usr/bin/sync-sim usr/bin/synclumovcontrol; do
    [ -x "$root/$program" ] || fail "$program is not executable"
done
unit=$root/usr/lib/systemd/system/sync-lumov-control.service
grep -qx 'ExecStart=/usr/sbin/sync-lumov-control' "$unit" || fail "unit does not start /usr/sbin/sync-lumov-control"
grep -qx 'Restart=on-failure' "$unit" || fail "unit does not restart the daemon on failure"
grep -qx 'ExecStart=/usr/sbin/sync-esmcd $SYNC_ESMCD_OPTIONS' "$root/usr/lib/systemd/system/sync-esmcd.service" ||
    fail "the data plane's unit does not start /usr/sbin/sync-esmcd"
grep -qx 'ExecStart=/usr/sbin/sync-clockd $SYNC_CLOCKD_OPTIONS' "$root/usr/lib/systemd/system/sync-clockd.service" ||
    fail "the sync-control service's unit does not start /usr/sbin/sync-clockd"

echo "== a system-like bus that includes the installed policy"
# The unprivileged user must reach the socket.
chmod 755 "$work"
cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/bus</listen>
  <auth>EXTERNAL</auth>
  <!-- As on a system bus: nothing may be owned or called unless a policy allows it. -->
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
  </policy>
  <include>$root/usr/share/dbus-1/system.d/org.tavi.conf</include>
</busconfig>
CONF
dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/address" 2>"$work/bus.log" &
pids+=($!)
poll 10 test -s "$work/address" || fail "dbus-daemon did not start with the policy: $(cat "$work/bus.log")"
address=unix:path=$work/bus

bus() { busctl --address="$address" "$@"; }
as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
request_name() { bus call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus RequestName su "$1" 4; }
mailbox_call() { bus call org.tavi.Mailbox.iepcsi_2dserver /org/tavi/Mailbox org.tavi.Mailbox "$@"; }
# The command must fail, and because the bus refused it.
refused() {
    local output
    if output=$("$@" 2>&1); then
        fail "allowed to an unprivileged user: $*"
    fi
    grep -q 'Access denied' <<<"$output" || fail "failed otherwise than refused: $* -> $output"
}

echo "== root owns org.tavi names and delivers"
[ "$(request_name org.tavi.X)" = "u 1" ] || fail "root cannot own org.tavi.X"
TAVI_BUS_ADDRESS=$address "$tavi_ping" >"$work/ping.log" 2>&1 || fail "root mailboxes: $(cat "$work/ping.log")"
# A mailbox of root's for the unprivileged user to try: the installed simulator, serving one port.
echo "port fronthaul 1 02:00:00:00:00:01 TnPort-A eth-a locked disabled" >"$work/idle.scn"
TAVI_BUS_ADDRESS=$address "$root/usr/bin/sync-sim" "$work/idle.scn" >"$work/sim.log" 2>&1 &
pids+=($!)
poll 10 mailbox_call Id || fail "root cannot call Id on the simulator's mailbox: $(cat "$work/sim.log")"

echo "== an unprivileged user is refused"
as_nobody busctl --address="$address" call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus GetId \
    >/dev/null || fail "an unprivileged user cannot even use the bus"
refused as_nobody busctl --address="$address" call org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus RequestName su org.tavi.Id.m7 4
refused as_nobody busctl --address="$address" call org.tavi.Mailbox.iepcsi_2dserver /org/tavi/Mailbox \
    org.tavi.Mailbox Deliver uay 1 4 1 0 0 0
refused as_nobody busctl --address="$address" call org.tavi.Mailbox.iepcsi_2dserver /org/tavi/Mailbox \
    org.tavi.Mailbox Id
if as_nobody env TAVI_BUS_ADDRESS="$address" "$tavi_ping" >"$work/nobody-ping.log" 2>&1; then
    fail "an unprivileged user created mailboxes"
fi

echo "== root's Deliver reaches the mailbox"
# Message number 2 is nothing the port-control server knows; it says so when the message arrives.
mailbox_call --expect-reply=no Deliver uay 1 4 2 0 0 0
poll 5 grep -q 'dropped unknown message 0x2 from 1' "$work/sim.log" ||
    fail "root's Deliver did not arrive: $(cat "$work/sim.log")"
grep -q 'unknown message 0x1 ' "$work/sim.log" && fail "the unprivileged Deliver arrived"
echo "== passed"
