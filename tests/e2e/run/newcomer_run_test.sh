#!/usr/bin/env bash
# scripts/run as a newcomer runs it: no display, a state folder of its own.
# It must end by itself with status 0, having shown the window, handed the
# checker's live proxies to it and saved the window's screenshot.
#   newcomer_run_test.sh SOURCE_DIR --x64|--x86
# Exit 77 (skipped) for --x86 where the machine cannot run 32-bit code.
set -uo pipefail
root=$1
pair=$2
if [ "$pair" = --x86 ] && ! why=$("$root/scripts/can-run-32bit" --why); then
    echo "skipped: $why"
    exit 77
fi
state=$(mktemp -d "$root/build/newcomer.XXXXXX")
trap 'rm -rf "$state"' EXIT
log="$state.log"

env -u DISPLAY timeout 800 "$root/scripts/run" "$pair" --state "$state" >"$log" 2>&1
rc=$?
cat "$log"
fail=0
[ "$rc" -eq 0 ] || { echo "FAIL: scripts/run ended with status $rc"; fail=1; }

# The farm list of the stand-ins: alive are 18100 (ok), 18104 (partial) and
# 18114 (relay); the rest are dead.
grep -qx 'run: live proxies: 127.0.0.1:18100 127.0.0.1:18104 127.0.0.1:18114' "$log" ||
    { echo "FAIL: the checker did not hand over exactly the live farm proxies"; fail=1; }
grep -q '^run: starting Sulvantix$' "$log" && grep -q '^run: starting Vettor' "$log" &&
    [ "$(grep -n '^run: starting Sulvantix$' "$log" | cut -d: -f1)" -lt \
        "$(grep -n '^run: starting Vettor' "$log" | cut -d: -f1)" ] ||
    { echo "FAIL: Vettor must start after Sulvantix's first download"; fail=1; }

# The screenshot is the window: its picture's size plus 3 at this display class.
shot="$state/sulvantix.png"
if [ -f "$shot" ]; then
    size=$(/usr/bin/identify -format '%wx%h' "$shot" 2>/dev/null)
    [ "$size" = 537x417 ] || { echo "FAIL: the screenshot is $size, not the 537x417 window"; fail=1; }
    # The list box's first row is selected (its highlight), so it holds an entry.
    colour=$(/usr/bin/convert "$shot" -crop 1x1+380+163 -format '%[hex:u.p{0,0}]' info: 2>/dev/null)
    [ -n "$colour" ] && [ "$colour" != FFFFFF ] ||
        { echo "FAIL: the list box shows no entry (pixel $colour)"; fail=1; }
else
    echo "FAIL: no screenshot"
    fail=1
fi
[ "$fail" -eq 0 ] && echo "newcomer run ($pair): window, live proxies and screenshot"
exit "$fail"
