#!/bin/sh
# usage: crash.sh WINE-RUN CRASH-EXE
# A program that crashes, run through the wrapper CTest runs every test
# program with, ends at once with a non-zero status and Wine's one line
# naming the fault, and no crash handler runs (a debugger's register dump or
# backtrace would show one did).
wine_run="$1" exe="$2"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
start=$(date +%s)
timeout 30 "$wine_run" "$exe" >"$out" 2>&1 </dev/null
status=$?
took=$(($(date +%s) - start))
failed=0
fail() { echo "FAILED: $*"; failed=1; }
[ "$status" != 0 ] || fail "the crash ended with exit status 0"
[ "$status" != 124 ] || fail "the crash did not end within 30 s"
[ "$took" -le 20 ] || fail "the crash took $took s to end"
grep -q "Unhandled page fault on write access to 00000000" "$out" || fail "Wine's line naming the fault is missing"
grep -qE "Register dump|Backtrace|winedbg" "$out" && fail "a crash handler ran"
[ "$failed" = 0 ] || { echo "its output:"; cat "$out"; exit 1; }
echo "crash: exit status $status after $took s, with Wine's one line"
