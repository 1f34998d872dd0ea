# Shared by the packaging tests (sourced): a scratch directory $work (removed at exit unless the
# script sets a trap of its own that does), failure, bounded polling, the program table, and the
# installation staged under a directory.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

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

# programs SOURCE_DIR: the lines of packaging/programs, comments dropped: program directory manual bar.
programs() {
    grep -v '^#' "$1/packaging/programs" | grep -v '^[[:space:]]*$'
}

# installed_path DIRECTORY PROGRAM: where a program of the table is installed under /usr.
installed_path() {
    if [ "$1" = libexec ]; then echo "usr/libexec/sync-lumov-control/$2"; else echo "usr/$1/$2"; fi
}

# conffiles SOURCE_DIR: the configuration files the package ships (packaging/etc as /etc), sorted.
conffiles() {
    (cd "$1/packaging/etc" && find . -type f | sed 's|^\.|/etc|' | sort)
}

# expected_files SOURCE_DIR: every file an installation with prefix /usr holds, sorted, as `find .`
# names them.
expected_files() {
    local program directory manual bar page
    {
        while read -r program directory manual bar; do
            echo "./$(installed_path "$directory" "$program")"
            echo "./usr/share/man/man$manual/$program.$manual.gz"
            [ "$bar" = - ] || echo "./usr/lib/systemd/system/$program.service"
            [ ! -f "$1/packaging/$program.sysusers" ] || echo "./usr/lib/sysusers.d/$program.conf"
        done < <(programs "$1")
        for page in "$1"/packaging/man/*.5 "$1"/packaging/man/*.5.in; do
            [ ! -f "$page" ] || echo "./usr/share/man/man5/$(basename "${page%.in}").gz"
        done
        conffiles "$1" | sed 's|^|.|'
        echo ./usr/lib/systemd/system/sync-lumov-control.target
        echo ./usr/share/dbus-1/system.d/org.tavi.conf
        echo ./usr/share/sync-lumov-control/scenarios/demo.scn
        echo ./usr/share/sync-lumov-control/synclumovcontrol.schema.json
        echo ./usr/share/sync-lumov-control/prometheus-alerts.yml
        echo ./usr/lib/tmpfiles.d/sync-lumov-control.conf
    } | sort
}

# stage BUILD_DIR ROOT: `cmake --install BUILD_DIR --prefix /usr` into ROOT.
stage() {
    DESTDIR=$2 cmake --install "$1" --prefix /usr >"$2.log" 2>&1 || fail "install: $(cat "$2.log")"
}
