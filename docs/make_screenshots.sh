#!/usr/bin/env bash
# Screenshots of Sulvantix at each display class, for docs/looks.md and the README:
#   docs/make_screenshots.sh [WINDOWS_TREE [HOST_TREE]]
# (defaults build/win64 and build/host; the Windows tree must have built the
# targets Sulvantix, Vettor and sulvantix_layout_test, the host tree
# proxy_farm and update_server).
#
# The windows are the layout test's, in its class prefixes
# (WINDOWS_TREE/wineprefix-<class>): the test starts the real program against
# the loopback stand-ins, checks each window and offers it; ImageMagick's
# `import` then takes that part of the X screen into docs/<name>-<class>.png:
# main (the main window with three farm proxies), message (Vettor pressed with
# empty fields) and message-long (the empty-list warning).
#
# The stand-ins bind fixed loopback ports: nothing else may run them meanwhile.
# Without DISPLAY a private Xvfb is used and stopped at the end.
set -euo pipefail
docs=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(dirname "$docs")
win_tree=$(realpath -m "${1:-$source_dir/build/win64}")
host_tree=$(realpath -m "${2:-$source_dir/build/host}")
test_exe="$win_tree/tests/e2e/layout/sulvantix_layout_test.exe"
arch=win64
grep -q 'SULVANTIX_WINEARCH:.*=win32' "$win_tree/CMakeCache.txt" 2>/dev/null && arch=win32

die() {
    echo "make_screenshots: $*" >&2
    exit 1
}
[ -f "$test_exe" ] || die "no $test_exe: build sulvantix_layout_test in $win_tree"
[ -x "$host_tree/tools/update_server" ] || die "no stand-ins in $host_tree/tools"

state="$win_tree/screenshot-standins"
offers=$(mktemp -d)
xvfb_pid=""
standins_up=""
cleanup() {
    [ -n "$standins_up" ] && "$source_dir/scripts/standins" stop "$state" >/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$offers"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 71 99); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        break
    done
    [ -n "$xvfb_pid" ] || die "no free X display"
    for _ in $(seq 50); do
        xwininfo -root >/dev/null 2>&1 && break
        sleep 0.1
    done
fi

"$source_dir/scripts/standins" start "$state" "$host_tree/tools" >/dev/null ||
    die "the stand-ins do not start (are another tree's running?)"
standins_up=1
export SULVANTIX_STANDINS_DIR=$state SULVANTIX_SOURCE_DIR=$source_dir
export SULVANTIX_BINARY_DIR=$win_tree
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY

status=0
for class in 96 120 98120; do
    prefix="$win_tree/wineprefix-$class"
    "$source_dir/tests/e2e/layout/prepare_class_prefix.sh" "$prefix" "$arch" "$class"
    "$source_dir/scripts/wine-exec" --arch "$arch" "$prefix" "$test_exe" --class="$class" \
        --shots="$offers" >"$offers/test-$class.log" 2>&1 &
    test_pid=$!
    while kill -0 "$test_pid" 2>/dev/null; do
        for offer in "$offers"/*.geometry; do
            [ -f "$offer" ] || continue
            name=$(basename "$offer" .geometry)
            import -window root -crop "$(cat "$offer")" +repage "$docs/$name.png"
            echo "docs/$name.png"
            rm -f "$offer"
        done
        sleep 0.2
    done
    if ! wait "$test_pid"; then
        echo "make_screenshots: the layout test failed at class $class:" >&2
        cat "$offers/test-$class.log" >&2
        status=1
    fi
done
exit "$status"
