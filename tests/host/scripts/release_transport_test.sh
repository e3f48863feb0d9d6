#!/usr/bin/env bash
# scripts/release builds for an https base URL, refuses an http one unless told
# --insecure-http, and says in its summary which the list comes over. The
# script runs from a scratch copy of the tree's scripts folder with a setup
# and a cmake of the test's own, which record what they were asked and make
# the files a build would leave.
#   release_transport_test.sh SOURCE_DIR
set -uo pipefail
root=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/scripts" "$scratch/bin"
cp "$root/scripts/release" "$scratch/scripts/"
printf '#!/bin/sh\nexit 0\n' >"$scratch/scripts/setup"
cat >"$scratch/bin/cmake" <<'STUB'
#!/usr/bin/env bash
echo "$*" >>"$STUB_LOG"
if [ "$1" = --build ]; then
    arch=x64
    case "$2" in *win32) arch=x86 ;; esac
    mkdir -p "$2/dist" "$2/gui/app"
    touch "$2/dist/SulvantixSetup-$arch.exe" "$2/gui/app/Sulvantix.chm"
fi
STUB
chmod +x "$scratch/scripts/setup" "$scratch/bin/cmake"
export PATH="$scratch/bin:$PATH" STUB_LOG="$scratch/cmake.log"
fail=0

# release URL [options...]: its status; its output in $out.
release() {
    : >"$STUB_LOG"
    out=$("$scratch/scripts/release" --base-url "$@" 2>&1)
}

expect() {
    grep -qF -- "$1" <<<"$out" || { echo "FAIL: $2: no \"$1\" in:"; echo "$out"; fail=1; }
}

if release http://127.0.0.1:18080; then
    echo "FAIL: an http base URL was built without --insecure-http"; fail=1
fi
expect "--insecure-http allows it" "the refusal does not name the way out"
[ ! -s "$STUB_LOG" ] || { echo "FAIL: the refused release configured a build"; fail=1; }
if release ftp://127.0.0.1 --insecure-http; then
    echo "FAIL: an ftp base URL was built"; fail=1
fi

release https://updates.invalid || { echo "FAIL: the https release failed:"; echo "$out"; fail=1; }
expect "come from https://updates.invalid over https" "the https summary"
grep -qF -- "-DSULVANTIX_UPDATE_BASE_URL=https://updates.invalid" "$STUB_LOG" ||
    { echo "FAIL: the https URL was not built in"; fail=1; }

release http://127.0.0.1:18080 --insecure-http ||
    { echo "FAIL: --insecure-http did not allow http:"; echo "$out"; fail=1; }
expect "over INSECURE http (--insecure-http)" "the insecure summary"

[ "$fail" -eq 0 ] && echo "release: https built, http refused, --insecure-http built and named"
exit "$fail"
