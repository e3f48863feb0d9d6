#!/usr/bin/env bash
# scripts/setup --check passes with setup's own list and names the gap when a
# package the tree needs is taken out of it: nsis (the build's makensis) and
# python3-pil (the artwork generator's PIL).
#   setup_check_test.sh SOURCE_DIR
set -uo pipefail
root=$1
mapfile -t packages < <("$root/scripts/setup" --list)
fail=0

out=$("$root/scripts/setup-check" "$root" "${packages[@]}") ||
    { echo "FAIL: the full list has gaps:"; echo "$out"; fail=1; }

for taken in nsis python3-pil; do
    rest=()
    for p in "${packages[@]}"; do [ "$p" = "$taken" ] || rest+=("$p"); done
    [ ${#rest[@]} -lt ${#packages[@]} ] || { echo "FAIL: setup does not list $taken"; fail=1; continue; }
    if out=$("$root/scripts/setup-check" "$root" "${rest[@]}"); then
        echo "FAIL: without $taken the check passed"
        fail=1
    elif ! grep -q "package $taken, which scripts/setup does not install" <<<"$out"; then
        echo "FAIL: without $taken the check did not name it:"
        echo "$out"
        fail=1
    fi
done
[ "$fail" -eq 0 ] && echo "setup check: passes with setup's list, names nsis and python3-pil when taken out"
exit "$fail"
