#!/usr/bin/env bash
# Makes a Wine prefix of its own in which the programs run at one display class:
#   tests/e2e/layout/prepare_class_prefix.sh PREFIX win32|win64 96|120|98120
# The resolution is a setting of the whole prefix, read when a process starts,
# so each class has its prefix and the build tree's shared one is never
# touched. Safe to run again: a prepared prefix is left as it is.
#
#   96      the new prefix's defaults
#   120     LogPixels 120, for Wine (HKCU, else HKLM) and for the program (HKCU
#           on "Windows 7", which a 64-bit prefix reports; HKLM otherwise)
#   98120   the 120 settings, Sulvantix.exe told it runs on Windows 98, and the
#           9x resolution value it then reads (a string, exactly "120")
# Every class: Calibri, the program's face on Windows, is Carlito here.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts="$here/../../../scripts"

usage() {
    echo "usage: $0 PREFIX win32|win64 96|120|98120" >&2
    exit 2
}
[ $# -eq 3 ] || usage
prefix=$(realpath -m "$1")
arch=$2
class=$3
case "$class" in
    96 | 120 | 98120) ;;
    *) usage ;;
esac

"$scripts/wine-prefix-init" "$prefix" "$arch"

exec 8>"$prefix.class.lock"
flock 8
marker="$prefix/.sulvantix-display-class"
if [ -f "$marker" ]; then
    have=$(cat "$marker")
    [ "$have" = "$class" ] && exit 0
    echo "prepare_class_prefix: $prefix is prepared for class $have, not $class" >&2
    exit 1
fi

export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY

add() {
    wine reg add "$@" /f >/dev/null
}

add 'HKCU\Software\Wine\Fonts\Replacements' /v Calibri /t REG_SZ /d Carlito
if [ "$class" != 96 ]; then
    add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120
    add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d 120
fi
if [ "$class" = 98120 ]; then
    add 'HKCU\Software\Wine\AppDefaults\Sulvantix.exe' /v Version /t REG_SZ /d win98
    add 'HKCC\Display\Settings' /v DPIPhysicalX /t REG_SZ /d 120
fi
# The prefix's own processes (the desktop among them) took the old resolution
# when they started; they end by themselves once nothing else runs in it.
wineserver -w
echo "$class" >"$marker"
