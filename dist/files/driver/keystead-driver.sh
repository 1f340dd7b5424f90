#!/bin/sh
# Grants the desktop user the device access that Keystead's software key execution needs, by udev
# rules that give the logged-in seat user (uaccess) the configured keyboards' hidraw and event
# nodes and /dev/uinput, and by loading uinput now and at every boot. Runs as root (pkexec).
#
#   keystead-driver.sh install PACKAGE VID:PID...   PACKAGE is one of the .rules templates beside
#                                                   this script; lines with @VID@/@PID@ are written
#                                                   once per keyboard id (4 hex digits each)
#   keystead-driver.sh remove
set -eu

rules=/etc/udev/rules.d/70-keystead.rules
modules=/etc/modules-load.d/keystead-uinput.conf
here=$(cd "$(dirname "$0")" && pwd -P)

reload() {
    udevadm control --reload-rules || true
    udevadm trigger --subsystem-match=hidraw --subsystem-match=input --subsystem-match=misc --action=change || true
    udevadm settle --timeout=10 || true
}

case "${1:-}" in
install)
    [ $# -ge 2 ] || { echo "usage: $0 install PACKAGE VID:PID..." >&2; exit 2; }
    package=$(cd "$(dirname "$2")" 2>/dev/null && pwd -P)/$(basename "$2")
    # Only the templates shipped beside this script are installed.
    case "$package" in
    "$here/keystead-input.rules" | "$here/keystead-uinput.rules") ;;
    *) echo "not a driver package of this folder: $2" >&2; exit 2 ;;
    esac
    [ -f "$package" ] || { echo "missing $package" >&2; exit 1; }
    shift 2
    tmp=$(mktemp)
    trap 'rm -f "$tmp"' EXIT
    {
        echo "# Written by keystead-driver.sh; removed by 'keystead-driver.sh remove'."
        grep -v -e '@VID@' -e '^#' "$package" || true
        for id in "$@"; do
            case "$id" in
            [0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]:[0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]) ;;
            *) echo "not a keyboard id: $id" >&2; exit 2 ;;
            esac
            vid=$(echo "${id%%:*}" | tr 'a-f' 'A-F')
            pid=$(echo "${id##*:}" | tr 'a-f' 'A-F')
            grep -e '@VID@' "$package" | grep -v '^#' | sed -e "s/@VID@/$vid/g" -e "s/@PID@/$pid/g"
        done
    } >"$tmp"
    install -m 0644 "$tmp" "$rules"
    echo uinput >"$modules"
    modprobe uinput || true
    reload
    ;;
remove)
    rm -f "$rules" "$modules"
    reload
    ;;
*)
    echo "usage: $0 install PACKAGE VID:PID... | remove" >&2
    exit 2
    ;;
esac
