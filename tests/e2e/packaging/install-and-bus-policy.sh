#!/usr/bin/env bash
# The installation and its bus policy: `cmake --install BUILD --prefix /usr` into a staging directory
# puts exactly the files packaging/programs names in place. Every installed unit passes
# `systemd-analyze verify` and its offline security exposure stays at or under the bar that
# packaging/programs gives it; every installed manual page renders without a warning. The installed sysusers entries are applied
# to a copy of this machine's user database, which this test's own mount namespace sees as
# /etc/passwd and /etc/group (nothing changes on the machine). On a system-like bus that includes the
# installed policy, the daemon runs as its user (no capabilities, no new privileges), plays the whole
# demo road with root's simulated peers (to every output transmitting) and records into a root LTTng
# session daemon of the namespace; a member of sync-operators runs `synclumovcontrol info all` and
# `status --json` (which fits the installed schema); nobody else may own an org.tavi name, deliver to
# the daemon or run the command (which says so: exit 4), and the daemon's user and the operator may own
# only their own names; a call without an interface to another service is left alone. All of this
# twice, with the same decisions: on dbus-daemon and on dbus-broker (run outside systemd, as its
# launcher allows), each of which takes the policy without a warning.
# Usage: install-and-bus-policy.sh BUILD_DIR TAVI_PING SOURCE_DIR. Needs root (exit 77, a skip, otherwise).
set -euo pipefail

build=$1
tavi_ping=$2
source_dir=$3
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: switching users and mounting need root"
    exit 77
fi
# Mounts made from here on vanish with the namespace.
if [ -z "${SYNC_PACKAGING_NAMESPACE:-}" ]; then
    SYNC_PACKAGING_NAMESPACE=1 exec unshare --mount --propagation private bash "$0" "$@"
fi
. "$source_dir/tests/e2e/packaging/common.sh"

pids=()
# stop PID: SIGTERM, then SIGKILL after 5 s; reaped.
stop() {
    kill "$1" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        stop "${pids[i]}"
    done
    rm -rf "$work"
}
trap cleanup EXIT

echo "== install into a staging directory"
root=$work/root
stage "$build" "$root"
installed=$(cd "$root" && find . -type f -o -type l | sort)
expected=$(expected_files "$source_dir")
[ "$installed" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$installed"))"
while read -r program directory _; do
    [ -x "$root/$(installed_path "$directory" "$program")" ] || fail "$program is not executable"
done < <(programs "$source_dir")
unit=$root/usr/lib/systemd/system/sync-lumov-control.service
for line in ExecStart=/usr/sbin/sync-lumov-control Restart=on-failure User=sync-lumov-control; do
    grep -qx "$line" "$unit" || fail "the unit lacks $line"
done

echo "== every unit verified and within its exposure bar, every manual page rendering without a warning"
# verify resolves what a unit requires (dbus.service) among the machine's units: the installed files
# go on top of a copy of them.
# The reloads call the machine's kill.
mkdir -p "$work/verify/usr/lib/systemd" "$work/verify/usr/bin"
cp -a /usr/lib/systemd/system "$work/verify/usr/lib/systemd/"
cp "$(readlink -f /bin/kill)" "$work/verify/usr/bin/kill"
ln -s usr/bin "$work/verify/bin"
cp -a "$root/." "$work/verify/"
export MANPATH=$root/usr/share/man   # verify runs `man` on each Documentation= page

for page in "$root"/usr/share/man/man*/*.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) ||
        fail "man -l $page failed: $warnings"
    [ -z "$warnings" ] || fail "$page renders with warnings: $warnings"
    echo "manual $(basename "$page" .gz): renders"
done
systemd-analyze verify --root="$work/verify" "$work/verify/usr/lib/systemd/system/sync-lumov-control.target" \
    >"$work/verify.log" 2>&1 && [ ! -s "$work/verify.log" ] || fail "verify the target: $(cat "$work/verify.log")"
while read -r program directory manual bar; do
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
echo "== the installed system users"
mkdir -p "$root/etc"
cp /etc/passwd /etc/group "$root/etc/"
systemd-sysusers --root="$root" >"$work/sysusers.log" 2>&1 || fail "sysusers: $(cat "$work/sysusers.log")"
# A member of sync-operators, with an id above the range sysusers allocates system users from.
echo "sync-test-operator:x:61234:61234::/:/usr/sbin/nologin" >>"$root/etc/passwd"
echo "sync-test-operator:x:61234:" >>"$root/etc/group"
sed -i 's/^\(sync-operators:x:[0-9]*:\)$/\1sync-test-operator/' "$root/etc/group"
for file in passwd group; do
    mount --bind "$root/etc/$file" "/etc/$file"
done
[ "$(id -G sync-lumov-control)" = "$(id -g sync-lumov-control)" ] ||
    fail "the daemon's user is in other groups: $(id sync-lumov-control)"
id sync-test-operator | grep -q '(sync-operators)' || fail "no operator: $(id sync-test-operator)"
run_as() { # USER COMMAND...: as that user with its groups, no capabilities and no way to gain any
    local user=$1
    shift
    setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups --no-new-privs --inh-caps=-all \
        --bounding-set=-all env -i PATH=/usr/bin:/bin HOME=/ TAVI_BUS_ADDRESS="$address" "$@"
}

echo "== a root LTTng session daemon of this namespace"
# Its sockets and shared memory in a /run and /dev/shm of the namespace's own, away from any other.
mount -t tmpfs tmpfs /run
mount -t tmpfs tmpfs /dev/shm
export LTTNG_HOME=$work
lttng-sessiond --no-kernel >"$work/sessiond.log" 2>&1 &
pids+=($!)
poll 10 lttng list || fail "no session daemon: $(cat "$work/sessiond.log")"
lttng create packaging --output="$work/trace" >/dev/null
lttng enable-event --userspace 'com_zentrova_sync_lumov_control:*' >/dev/null
lttng start >/dev/null

chmod 755 "$work" # the unprivileged users must reach the sockets
cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/dbus-daemon.socket</listen>
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
  <!-- A service that everyone may call, also without naming an interface (the bus's own stands in). -->
  <policy context="default">
    <allow send_destination="org.freedesktop.DBus"/>
  </policy>
  <include>$root/usr/share/dbus-1/system.d/org.tavi.conf</include>
</busconfig>
CONF

# start_dbus_daemon / start_dbus_broker: the bus on $work/<name>.socket (dbus-broker's launcher ignores
# <listen>), its address in $address. Either must take the policy without a word: what a bus ignores or
# cannot resolve, it reports on stderr.
start_dbus_daemon() {
    dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/dbus-daemon.address" \
        2>"$work/dbus-daemon.log" &
    pids+=($!)
    poll 10 test -s "$work/dbus-daemon.address" ||
        fail "dbus-daemon did not start with the policy: $(cat "$work/dbus-daemon.log")"
    address=unix:path=$work/dbus-daemon.socket
}
# dbus-broker's launcher takes its socket as systemd passes it, reaches its own bus as the system bus
# to load the policy, and logs to the journal's socket: here a reader on the namespace's own /run.
start_dbus_broker() {
    mkdir -p /run/systemd/journal
    perl -MIO::Socket::UNIX -MSocket -e '
        my $s = IO::Socket::UNIX->new(Type => SOCK_DGRAM, Local => $ARGV[0]) or die "$!\n";
        $| = 1;
        while (defined $s->recv(my $entry, 65536)) { $entry =~ s/\n/ /g; print "$entry\n" }
    ' /run/systemd/journal/socket >"$work/journal.log" 2>&1 &
    pids+=($!)
    poll 10 test -S /run/systemd/journal/socket || fail "no journal socket: $(cat "$work/journal.log")"
    address=unix:path=$work/dbus-broker.socket
    systemd-socket-activate --listen="$work/dbus-broker.socket" --setenv=DBUS_SYSTEM_BUS_ADDRESS="$address" \
        dbus-broker-launch --config-file="$work/bus.conf" >"$work/dbus-broker.log" 2>&1 &
    pids+=($!)
    # Everyone may connect, as to dbus.socket; the socket's first client starts the launcher.
    poll 10 test -S "$work/dbus-broker.socket" || fail "no socket: $(cat "$work/dbus-broker.log")"
    chmod 666 "$work/dbus-broker.socket"
    poll 10 bus call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus GetId
    poll 10 grep -q 'MESSAGE=Ready' "$work/journal.log" ||
        fail "dbus-broker did not start with the policy: $(cat "$work/dbus-broker.log" "$work/journal.log")"
}

bus() { busctl --address="$address" "$@"; }
request_name() { bus call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus RequestName su "$1" 4; }
# The command must fail, and because the bus refused it.
refused() {
    local output
    if output=$("$@" 2>&1); then
        fail "allowed: $*"
    fi
    grep -q 'Access denied\|AccessDenied' <<<"$output" || fail "failed otherwise than refused: $* -> $output"
}
# on_bus NAME: the road and every decision of the policy on that bus.
on_bus() {
    local name=$1 sim daemon
    echo "== $name: a system-like bus that includes the installed policy"
    "start_${name//-/_}"
    # Besides, dbus-daemon says that it may not raise its descriptor limit here, and
    # systemd-socket-activate how it passed the socket on: neither is about the policy.
    ! grep -v -e 'Failed to set fd limit' -e '^Listening on ' -e '^Communication attempt on fd ' -e '^Execing ' \
        "$work/$name.log" || fail "$name says of the policy what is above"

    echo "== $name: root owns org.tavi names and delivers"
    [ "$(request_name org.tavi.X)" = "u 1" ] || fail "root cannot own org.tavi.X"
    TAVI_BUS_ADDRESS=$address "$tavi_ping" >"$work/ping.log" 2>&1 || fail "root mailboxes: $(cat "$work/ping.log")"

    echo "== $name: the whole road: root's simulated peers, the daemon as its user"
    scenario=$root/usr/share/sync-lumov-control/scenarios/demo.scn
    TAVI_BUS_ADDRESS=$address "$root/usr/libexec/sync-lumov-control/sync-sim" "$scenario" >"$work/sim.log" 2>&1 &
    sim=$!
    pids+=($sim)
    run_as sync-lumov-control "$root/usr/sbin/sync-lumov-control" >"$work/daemon.log" 2>&1 &
    daemon=$!
    pids+=($daemon)
    poll 60 grep -q '^scenario done' "$work/sim.log" ||
        fail "the road did not complete: $(cat "$work/sim.log" "$work/daemon.log")"
    # Each output of the demo's four ports was created on its interface and ends up transmitting ePRTC
    # (SSM 0x02, enhanced 0x21) with ESMC on.
    outputs=$(awk '$1 == "order:" { split($3, id, "=") }
        $2 == "OUTPUT_CREATE" { split($4, name, "="); interface[id[2]] = name[2] }
        $2 == "TRANSMIT_SSM" { codes[id[2]] = $4 " " $5 }
        $2 == "ESMC_CONTROL" { esmc[id[2]] = $4 }
        END { for (i in interface) print interface[i], codes[i], esmc[i] }' "$work/sim.log" | sort)
    [ "$outputs" = "$(printf '%s ssmCode=0x02 enhancedSsmCode=0x21 output=1\n' eth-fh-a eth-fh-b eth-fh-c eth-fh-d)" ] ||
        fail "the demo's outputs: $outputs"

    echo "== $name: an operator runs the command"
    run_as sync-test-operator "$root/usr/bin/synclumovcontrol" info all >"$work/info.log" 2>&1 ||
        fail "the operator's command failed: $(cat "$work/info.log")"
    grep -q '#Total SyncEthOutput: 4' "$work/info.log" || fail "the operator's answer: $(cat "$work/info.log")"
    run_as sync-test-operator "$root/usr/bin/synclumovcontrol" status --json >"$work/status.json" ||
        fail "the operator's status: $(cat "$work/status.json")"
    /usr/bin/python3 -m jsonschema -i "$work/status.json" "$root/usr/share/sync-lumov-control/synclumovcontrol.schema.json" ||
        fail "the status document does not fit the installed schema: $(cat "$work/status.json")"

    echo "== $name: every name and mailbox is refused to anyone else, and to an operator or the daemon's user but theirs"
    local daemon_service=org.tavi.Service.sync.SyncLumovControl
    local port_server=org.tavi.Mailbox.iepcsi_2dserver
    for user in nobody sync-test-operator sync-lumov-control; do
        refused run_as "$user" busctl --address="$address" call org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus RequestName su "$port_server" 4
    done
    refused run_as nobody busctl --address="$address" call org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus RequestName su org.tavi.Id.m7 4
    refused run_as nobody busctl --address="$address" call "$daemon_service" /org/tavi/Mailbox org.tavi.Mailbox Id
    refused run_as nobody busctl --address="$address" call "$daemon_service" /org/tavi/Mailbox org.tavi.Mailbox \
        Deliver uay 1 4 1 0 0 0
    refused run_as sync-test-operator busctl --address="$address" call "$port_server" /org/tavi/Mailbox \
        org.tavi.Mailbox Deliver uay 1 4 1 0 0 0
    # Told why, with its own exit status.
    local status=0
    run_as nobody "$root/usr/bin/synclumovcontrol" info all >"$work/nobody.log" 2>&1 || status=$?
    [ "$status" = 4 ] && grep -q 'is this user in group sync-operators?' "$work/nobody.log" ||
        fail "an unprivileged user's command ended with $status: $(cat "$work/nobody.log")"
    if run_as nobody "$tavi_ping" >"$work/nobody-ping.log" 2>&1; then
        fail "an unprivileged user created mailboxes"
    fi

    echo "== $name: a call without an interface to another service is not the policy's business"
    run_as nobody python3 -c 'import dbus, sys
print(dbus.bus.BusConnection(sys.argv[1]).call_blocking(
    "org.freedesktop.DBus", "/org/freedesktop/DBus", None, "GetId", "", []))' "$address" \
        >"$work/other.log" 2>&1 || fail "refused: $(cat "$work/other.log")"

    echo "== $name: root's Deliver reaches a mailbox, nobody else's did"
    # Message number 2 is nothing the port-control server knows; it says so when the message arrives.
    bus call --expect-reply=no "$port_server" /org/tavi/Mailbox org.tavi.Mailbox Deliver uay 1 4 2 0 0 0
    poll 5 grep -q 'dropped unknown message 0x2 from 1' "$work/sim.log" ||
        fail "root's Deliver did not arrive: $(cat "$work/sim.log")"
    grep -q 'unknown message 0x1 ' "$work/sim.log" && fail "a refused Deliver arrived"
    stop "$daemon"
    stop "$sim"
}

on_bus dbus-daemon
on_bus dbus-broker

echo "== the daemon's events in the root session"
lttng stop >/dev/null
lttng destroy >/dev/null
events=$(babeltrace2 "$work/trace" 2>/dev/null | grep -c 'com_zentrova_sync_lumov_control:' || true)
[ "$events" -gt 0 ] || fail "the daemon recorded nothing: $(cat "$work/sessiond.log")"
echo "$events events"
echo "== passed"
