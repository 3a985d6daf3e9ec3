#!/bin/bash
# usage: guest_run.sh SCRIPTS
# scripts/guest/run around a stand-in emulator, in a small work tree of its
# own: what the guest is given (no network, a throw-away root disk, the tree
# read-only, the host's processors and part of its memory, the job), what
# comes back (exit status, the files asked for), KVM only where it is seen
# to run the guest, and that the guest is ended on a time-out, on Ctrl-C,
# and said so when it dies without an answer.
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

# The stand-in: answers --version with STANDIN_VERSION, records its
# arguments and pid and a line "ACCEL DISK" for each boot, then as STANDIN
# says: "job" runs a job that needs no work tree (the KVM check's) and
# answers any other as the guest's init does, "hang" never ends, "die" ends
# with no answer. Under KVM, STANDIN_KVM "abort" fails at once as QEMU does
# where KVM lacks what the processor model needs, "silent" never starts the
# guest.
cat >"$work/bin/qemu-system-x86_64" <<'EOF'
#!/bin/bash
if [ "$1" = --version ]; then echo "QEMU emulator version ${STANDIN_VERSION:-7.2 (stand-in)}"; exit 0; fi
printf '%s\n' "$@" >"$STANDIN_DIR/args"
echo $$ >"$STANDIN_DIR/pid"
echo $$ >>"$STANDIN_DIR/pids"
drives=() serials=() accel=""
while [ $# -gt 0 ]; do
  case "$1" in
    -drive) f="${2#file=}"; drives+=("${f%%,*}") ;;
    -serial) serials+=("$2") ;;
    -accel) accel="${2%%,*}" ;;
  esac
  shift
done
echo "$accel ${drives[1]##*/}" >>"$STANDIN_DIR/boots"
case "$accel:${STANDIN_KVM:-works}" in
  kvm:abort)
    echo "qemu-system-x86_64: warning: host doesn't support requested feature: CPUID.01H:ECX.vmx [bit 5]" >&2
    echo "qemu-system-x86_64: error: failed to set MSR 0x10a to 0x69" >&2
    echo "qemu-system-x86_64: kvm.c:3183: kvm_buf_set_msrs: Assertion failed." >&2
    exit 134 ;;
  kvm:silent) exec sleep 300 ;;
esac
case "$STANDIN" in
  hang) exec sleep 300 ;;
  die) exit 1 ;;
esac
# The job's output goes to the second serial port.
out=/dev/stdout
case "${serials[1]}" in file:*) out="${serials[1]#file:}" ;; esac
mkdir -p "$STANDIN_DIR/guest"
tar -xf "${drives[1]}" -C "$STANDIN_DIR/guest" vistaro-job
job="$STANDIN_DIR/guest/vistaro-job"
if ! grep -q '^cd ' "$job/job.sh"; then
  bash "$job/job.sh" >>"$out"
  exit 0
fi
tree="$(sed -n 's|^\(.*\)/build/brought.txt$|\1|p' "$job/bring")"
echo "the output, as it comes" >>"$out"
mkdir -p "$STANDIN_DIR/guest/$tree/build"
echo "the guest's copy" >"$STANDIN_DIR/guest/$tree/build/brought.txt"
echo 7 >"$job/status"
tar -cf "${drives[2]}" -C "$STANDIN_DIR/guest" vistaro-job/status "$tree/build/brought.txt"
EOF
chmod +x "$work/bin/qemu-system-x86_64"
export PATH="$work/bin:$PATH" STANDIN_DIR="$work"
# No KVM device unless a case lends one.
export VISTARO_KVM_DEVICE="$work/no-kvm"

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
for a in -nic none -nodefaults -cpu "max,-smap,-smep" -smp "$(nproc)"; do
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

# Where a KVM device is there, KVM is taken only when a short boot under it
# speaks; otherwise the job runs once, emulated, and one line says why. The
# answer is kept for the machine, and asked again when the machine changes.
# kvm_case NAME KVM BOOTS SAID [VAR=VALUE...]: the boots the emulator saw
# ("ACCEL DISK", comma-separated) and the KVM line said ("" for none).
kvm_case() {
  local name="$1" kvm="$2" want_boots="$3" want_said="$4" start=$SECONDS
  shift 4
  rm -f "$work/boots" "$work/pids"
  out=$(cd "$tree/build" && env STANDIN=job STANDIN_KVM="$kvm" VISTARO_KVM_DEVICE="$work/kvm" \
        VISTARO_KVM_PROBE_TIMEOUT=2 VISTARO_GUEST_TIMEOUT=20 "$@" "$tree/scripts/guest/run" --bring build/brought.txt -- scripts/x 2>"$work/err")
  status=$?
  [ "$status" = 7 ] || fail "$name: exit status $status, expected the job's 7"
  [ "$out" = "the output, as it comes" ] || fail "$name: output \"$out\""
  [ $((SECONDS - start)) -le 15 ] || fail "$name: took $((SECONDS - start)) s"
  boots=$(paste -sd, "$work/boots")
  [ "$boots" = "$want_boots" ] || fail "$name: the emulator booted \"$boots\", expected \"$want_boots\""
  said=$(grep KVM "$work/err" | grep -v -e "checking that KVM" -e "starting with")
  [ "$said" = "$want_said" ] || fail "$name: said \"$said\", expected \"$want_said\""
  while read -r pid; do gone "$pid" || fail "$name: an emulator it started still runs"; done <"$work/pids"
}
if [ "$(uname -m)" = x86_64 ]; then
  touch "$work/kvm"
  fallback="emulated PC: KVM cannot run the guest here"
  emulated="so it runs on emulated processors"
  kvm_case "KVM works" works "kvm job.tar,kvm tree.tar" ""
  kvm_case "KVM works, answer kept" works "kvm tree.tar" ""
  rm -f "$ready/kvm-answer"
  kvm_case "KVM aborts" abort "kvm job.tar,tcg tree.tar" \
    "$fallback (qemu-system-x86_64: error: failed to set MSR 0x10a to 0x69), $emulated"
  rm -f "$ready/kvm-answer"
  kvm_case "KVM silent" silent "kvm job.tar,tcg tree.tar" \
    "$fallback (no word from the guest under KVM in 2 s), $emulated"
  kvm_case "KVM silent, answer kept" works "tcg tree.tar" \
    "$fallback (no word from the guest under KVM in 2 s), $emulated"
  kvm_case "KVM works on a changed machine" works "kvm job.tar,kvm tree.tar" "" STANDIN_VERSION=8.0
  kvm_case "no KVM device" works "tcg tree.tar" "" VISTARO_KVM_DEVICE="$work/no-kvm"
fi

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
