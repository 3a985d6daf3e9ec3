#!/bin/sh
# usage: route.sh SCRIPTS
# The choice scripts/test and scripts/run make between Wine on this machine,
# the emulated PC and a refusal, with stand-in wine, qemu-system-x86_64 and
# apt-get commands on a PATH that has nothing else of the machine's.
scripts="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }

# The few tools the two scripts use, and no emulator or package manager.
mkdir -p "$work/tools"
for t in dirname basename env timeout grep sed cat; do ln -s "$(command -v "$t")" "$work/tools/$t"; done
# standin FOLDER NAME BODY
standin() {
  mkdir -p "$work/$1"
  printf '#!/bin/sh\n%s\n' "$3" >"$work/$1/$2"
  chmod +x "$work/$1/$2"
}
standin works wine 'echo "wine-8.0 (stand-in)"'
standin noexec wine 'echo "/usr/bin/wine: 41: exec: /usr/lib/wine/wine: Exec format error" >&2; exit 2'
standin qemu qemu-system-x86_64 'exit 0'
standin apt apt-get 'exit 0'

# expect NAME WINE EMULATOR EMULATE STDOUT STATUS [TEXT...]: route's answer,
# status and the one line it says on standard error (none when no TEXT).
expect() {
  name="$1" wine="$2" emulator="$3" emulate="$4" want="$5" status="$6"
  shift 6
  path="$work/$wine:$work/tools"
  [ "$emulator" = - ] || path="$work/$emulator:$path"
  err="$work/err"
  out=$(PATH="$path" VISTARO_EMULATE="$emulate" /bin/sh "$scripts/route" scripts/test 2>"$err")
  got=$?
  [ "$got" = "$status" ] || fail "$name: exit status $got, expected $status"
  [ "$out" = "$want" ] || fail "$name: answered \"$out\", expected \"$want\""
  said=$(cat "$err")
  if [ $# = 0 ]; then
    [ -z "$said" ] || fail "$name: said: $said"
    return
  fi
  [ "$(printf '%s\n' "$said" | wc -l)" = 1 ] || fail "$name: not one line: $said"
  for text in "scripts/test: " "$@"; do
    case "$said" in
      *"$text"*) ;;
      *) fail "$name: no \"$text\" in: $said" ;;
    esac
  done
}
cause="its kernel runs no 32-bit programs (Wine's loader: /usr/bin/wine: 41: exec: /usr/lib/wine/wine: Exec format error)"
still="scripts/build still makes every binary in build/bin/ and the package"
#      name           wine   emulator emulate answer   status said
expect "native"       works  qemu     ""      native   0
expect "never"        works  -        0       native   0
expect "asked"        works  qemu     1       emulated 0
expect "no 32-bit"    noexec qemu     ""      emulated 0 "$cause" "They run in an emulated PC instead (VISTARO_EMULATE=0 refuses)"
expect "installable"  noexec apt      ""      emulated 0 "$cause" "emulated PC instead"
expect "no emulator"  noexec -        ""      ""       1 "$cause, and no emulator can be had (no qemu-system-x86_64, and no apt-get to install it)" "$still"
expect "refused"      noexec qemu     0       ""       1 "$cause" "$still"
expect "none to ask"  works  -        1       ""       1 "VISTARO_EMULATE=1 asks for the emulated PC, but no emulator can be had" "$still"
expect "bad switch"   works  qemu     yes     ""       2 'VISTARO_EMULATE is 0 (never emulate) or 1 (always), not "yes"'

[ "$failed" = 0 ] && echo "route: all cases passed"
exit $((failed > 0))
