#!/bin/bash
# usage: guest_run.sh SCRIPTS
# scripts/guest/run around a stand-in emulator, in a small work tree of its
# own: what the guest is given (no network, a throw-away root disk, the tree
# read-only, the host's processors and part of its memory, the job), what
# comes back (exit status, the files asked for), and that the guest is ended
# on a time-out, on Ctrl-C, and said so when it dies without an answer.
scripts="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }

tree="$work/tree"
mkdir -p "$tree/scripts/guest" "$tree/build" "$work/bin"
cp "$scripts"/guest/* "$tree/scripts/guest/"
echo "the host's copy" >"$tree/build/brought.txt"
export VISTARO_GUEST="$work/guest"
ready=$("$tree/scripts/guest/make" --path)
mkdir -p "$ready"
touch "$ready/ready" "$ready/vmlinuz" "$ready/initrd.img" "$ready/root.img"

# The stand-in: records its arguments and pid, then as STANDIN says: "job"
# reads the job off the tree disk and answers on the results disk as the
# guest's init does, "hang" never ends, "die" ends with no answer.
cat >"$work/bin/qemu-system-x86_64" <<'EOF'
#!/bin/bash
printf '%s\n' "$@" >"$STANDIN_DIR/args"
echo $$ >"$STANDIN_DIR/pid"
drives=()
for a in "$@"; do case "$a" in file=*) f="${a#file=}"; drives+=("${f%%,*}") ;; esac; done
case "$STANDIN" in
  hang) exec sleep 300 ;;
  die) exit 1 ;;
esac
mkdir -p "$STANDIN_DIR/guest"
tar -xf "${drives[1]}" -C "$STANDIN_DIR/guest" vistaro-job
job="$STANDIN_DIR/guest/vistaro-job"
tree="$(sed -n 's|^\(.*\)/build/brought.txt$|\1|p' "$job/bring")"
echo "the output, as it comes"
mkdir -p "$STANDIN_DIR/guest/$tree/build"
echo "the guest's copy" >"$STANDIN_DIR/guest/$tree/build/brought.txt"
echo 7 >"$job/status"
tar -cf "${drives[2]}" -C "$STANDIN_DIR/guest" vistaro-job/status "$tree/build/brought.txt"
EOF
chmod +x "$work/bin/qemu-system-x86_64"
export PATH="$work/bin:$PATH" STANDIN_DIR="$work"

# A finished job: its status, its output, the file it made, what it was given.
cd "$tree/build"
out=$(STANDIN=job VISTARO_SAMPLE='two words' VISTARO_EMULATE=1 \
      "$tree/scripts/guest/run" --bring build/brought.txt --bring build/absent -- scripts/x 'a b' 2>"$work/err")
status=$?
[ "$status" = 7 ] || fail "job: exit status $status, expected the job's 7"
[ "$out" = "the output, as it comes" ] || fail "job: output \"$out\""
[ "$(cat "$tree/build/brought.txt")" = "the guest's copy" ] || fail "job: the guest's file was not brought back"
job="$work/guest/vistaro-job/job.sh"
grep -qx "cd ${tree//\//\\/}/build || exit 125" "$job" || fail "job: does not start in the caller's folder"
grep -qx "exec scripts/x a\\\\ b" "$job" || fail "job: command not passed word for word: $(tail -n1 "$job")"
grep -qx "export VISTARO_SAMPLE=two\\\\ words" "$job" || fail "job: the caller's VISTARO_ variables are not passed"
grep -q VISTARO_EMULATE "$job" && fail "job: passes VISTARO_EMULATE into the guest"
args="$work/args"
cpu="max,-smap,-smep"  # emulated; KVM lends the host's own
[ -w /dev/kvm ] && [ "$(uname -m)" = x86_64 ] && cpu=host
for a in -nic none -nodefaults -cpu "$cpu" -smp "$(nproc)"; do
  grep -qx -- "$a" "$args" || fail "job: the emulator was not given $a"
done
grep -qE '^file=.*/root\.img,.*snapshot=on' "$args" || fail "job: the root disk is written, not a throw-away overlay"
grep -qE '^file=.*/tree\.tar,.*readonly=on' "$args" || fail "job: the tree disk is not read-only"
mem=$(sed -n '/^-m$/{n;p;}' "$args")
total=$(($(awk '/^MemTotal:/ { print $2 }' /proc/meminfo) / 1024))
[ -n "$mem" ] && [ "$mem" -lt "$total" ] || fail "job: guest memory ${mem:-none} MB leaves the host none of its $total MB"
[ -e "$tree/build/guest-run/tree.tar" ] && fail "job: the tree's copy is left behind"

# gone PID: no such process any more.
gone() { ! kill -0 "$1" 2>/dev/null; }

# A guest that never ends is ended at the time-out.
start=$SECONDS
STANDIN=hang VISTARO_GUEST_TIMEOUT=2 "$tree/scripts/guest/run" -- true 2>"$work/err"
status=$?
[ "$status" = 1 ] || fail "time-out: exit status $status"
[ $((SECONDS - start)) -le 20 ] || fail "time-out: took $((SECONDS - start)) s"
grep -q "stopped after 2 s" "$work/err" || fail "time-out: said: $(cat "$work/err")"
gone "$(cat "$work/pid")" || fail "time-out: the guest still runs"

# Ctrl-C ends the guest with the command.
rm -f "$work/pid"
STANDIN=hang env --default-signal=INT "$tree/scripts/guest/run" -- true 2>"$work/err" &
runner=$!
for _ in $(seq 100); do [ -s "$work/pid" ] && break; sleep 0.1; done
kill -INT "$runner"
wait "$runner"
status=$?
[ "$status" = 130 ] || fail "Ctrl-C: exit status $status"
sleep 1
gone "$(cat "$work/pid")" || fail "Ctrl-C: the guest still runs"

# A guest that dies without an answer is not taken for a passing command.
STANDIN=die "$tree/scripts/guest/run" -- true 2>"$work/err"
status=$?
[ "$status" = 1 ] || fail "died: exit status $status"
grep -q "without the command's exit status" "$work/err" || fail "died: said: $(cat "$work/err")"

[ "$failed" = 0 ] && echo "guest run: all cases passed"
exit $((failed > 0))
