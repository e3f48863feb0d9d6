#!/usr/bin/env bash
# The path helpers in a program whose path is longer than MAX_PATH: each gets
# the whole path, none a cut one. Wine's CreateProcess refuses such a path, so
# the program is started from here, as a user's shell would.
#   module_paths_long.sh WINE_EXEC_ARGS... -- PROBE_EXE
set -euo pipefail
emulator=()
while [ "$1" != -- ]; do emulator+=("$1"); shift; done
probe=$2
deep="$(dirname "$probe")/module paths deep/$(printf 'a%.0s' {1..100})/$(printf 'b%.0s' {1..100})/$(printf 'c%.0s' {1..100})"
mkdir -p "$deep"
cp "$probe" "$deep/"
trap 'rm -rf "$(dirname "$probe")/module paths deep"' EXIT
mapfile -t lines < <("${emulator[@]}" "$deep/module_paths_probe.exe" | tr -d '\r')
expected_path="Z:$(echo "$deep" | tr / '\\')\\module_paths_probe.exe"
fail=0
check() {
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1: got '$2', expected '$3'"
        fail=1
    fi
}
check "module path" "${lines[0]:-}" "$expected_path"
check "program directory" "${lines[1]:-}" "${expected_path%module_paths_probe.exe}"
check "application name" "${lines[2]:-}" "module_paths_probe"
case "${lines[3]:-}" in
    [Cc]:\\windows\\system32 | [Cc]:\\windows\\[Ss]ystem32) ;;
    *) echo "FAIL: system directory '${lines[3]:-}'"; fail=1 ;;
esac
[ ${#lines[0]} -gt 260 ] || { echo "FAIL: the path is not longer than MAX_PATH"; fail=1; }
[ "$fail" -eq 0 ] && echo "module paths: whole at ${#lines[0]} characters"
exit "$fail"
