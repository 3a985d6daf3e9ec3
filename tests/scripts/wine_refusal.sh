#!/bin/sh
# usage: wine_refusal.sh SCRIPTS
# Puts a stand-in wine first on PATH for each way Wine can fail to start and
# checks the one message and the exit status of scripts/wine-check and of
# scripts/wine-prefix (which every Wine run of the project goes through).
scripts="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }

# stand_in NAME BODY: a folder holding a wine that runs BODY.
stand_in() {
  mkdir -p "$work/$1"
  printf '#!/bin/sh\n%s\n' "$2" > "$work/$1/wine"
  chmod +x "$work/$1/wine"
}
stand_in noexec 'echo "/usr/bin/wine: 41: exec: /usr/lib/wine/wine: Exec format error" >&2; exit 2'
stand_in broken 'echo "wine: could not load kernel32.dll, status c0000135" >&2; echo "second line" >&2; exit 1'
stand_in silent 'exit 3'
stand_in no32 'echo "it looks like wine32 is missing, you should install it." >&2; echo wine-8.0'
stand_in works 'echo "wine-8.0 (stand-in)"'

# expect CASE STATUS TEXT...: wine-check's status and that its one message has each TEXT.
expect() {
  case_="$1" status="$2"
  shift 2
  out=$(PATH="$work/$case_:$PATH" sh "$scripts/wine-check" scripts/test 2>&1)
  got=$?
  [ "$got" = "$status" ] || fail "$case_: exit status $got, expected $status"
  if [ "$status" = 0 ]; then
    [ -z "$out" ] || fail "$case_: a machine that runs Wine is told: $out"
    return
  fi
  [ "$(printf '%s\n' "$out" | wc -l)" = 1 ] || fail "$case_: more than one line: $out"
  for text in scripts/test: "scripts/build still makes every binary in build/bin/ and the package" "$@"; do
    case "$out" in
      *"$text"*) ;;
      *) fail "$case_: no \"$text\" in: $out" ;;
    esac
  done
}
expect noexec 1 "its kernel runs no 32-bit programs" "/usr/lib/wine/wine: Exec format error"
expect broken 1 "Wine fails to start (wine: could not load kernel32.dll, status c0000135)"
expect silent 1 "Wine fails to start (exit status 3, no output)"
expect no32 1 "Wine has no 32-bit loader (it looks like wine32 is missing"
expect works 0

# No prefix is half made: the refusal comes before wineboot, within seconds.
start=$(date +%s)
out=$(PATH="$work/noexec:$PATH" sh "$scripts/wine-prefix" "$work/prefix" 2>&1)
got=$?
[ "$got" != 0 ] || fail "wine-prefix: exit status 0 without Wine"
case "$out" in
  "wine-prefix: this machine cannot run the 32-bit Windows programs: its kernel runs no 32-bit programs"*) ;;
  *) fail "wine-prefix: said: $out" ;;
esac
[ ! -e "$work/prefix/.vistaro-ready" ] || fail "wine-prefix: marked a prefix ready without Wine"
[ $(( $(date +%s) - start )) -le 10 ] || fail "wine-prefix: took more than 10 s to refuse"

[ "$failed" = 0 ] && echo "wine refusal: all cases passed"
exit $(( failed > 0 ))
