#!/usr/bin/env bash
# Makes the Wine prefix in which the setup and the uninstaller are tested:
#   tests/e2e/installer/prepare_installer_prefix.sh PREFIX win32|win64
# The setup registers and starts the real "RODerevAva" service, which the tests
# sharing the tree's own prefix expect to be absent, so these tests have a
# prefix of their own. Calibri, the program's face on Windows, is Carlito
# here, as the installed Sulvantix.exe shows its window. Safe to run again: a
# prepared prefix is left as it is.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts="$here/../../../scripts"

[ $# -eq 2 ] || {
    echo "usage: $0 PREFIX win32|win64" >&2
    exit 2
}
prefix=$(realpath -m "$1")
arch=$2

mkdir -p "$(dirname "$prefix")"
exec 8>"$prefix.installer.lock"
flock 8
marker="$prefix/.sulvantix-installer-prefix"
[ -f "$marker" ] && exit 0

export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
# A preparation cut off half-way can leave a prefix that wineboot no longer
# starts. Nothing but these tests uses this one, so it is made anew, after
# the processes still running in it have been ended.
if [ -e "$prefix" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$prefix"
fi
"$scripts/wine-prefix-init" "$prefix" "$arch"
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Calibri /t REG_SZ /d Carlito /f >/dev/null
# The tests begin in a session of their own, as Windows restarts after its
# own setup: in the session that made the prefix, the service the setup
# registers does not start ("sc start" leaves it stopped with 1077), and
# comes up later without starting Vettor.
if ! timeout 60 wineserver -w; then
    wineserver -k || true
    wineserver -w || true
fi
touch "$marker"
