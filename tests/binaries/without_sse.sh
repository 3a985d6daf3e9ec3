#!/bin/sh
# usage: without_sse.sh OBJDUMP BINDIR
# Fails when a deliverable uses an SSE/SSE2/SSE3 or MMX instruction: the
# machines the saver is for would stop on it as an illegal instruction.
objdump="$1"
bin="$2"
pattern='%xmm|%ymm|%mm[0-7]|\b(ldmxcsr|stmxcsr|sfence|lfence|mfence|movnti|maskmovq|prefetch(nta|t[012]|w)?|clflush|fisttp[lsq]?|emms)\b'
status=0
for name in vistaro.dll rastrel.vxn "3-D Vistaro Screensaver.scr" vistarodesk.exe VXNUT.EXE; do
  file="$bin/$name"
  if [ ! -f "$file" ]; then
    case "$name" in
      vistaro.dll|rastrel.vxn) echo "missing: $file"; status=1 ;;
    esac
    continue
  fi
  found=$("$objdump" -d "$file" | awk '/^[0-9a-f]+ <.*>:$/ { fn = $2; next } { print fn "\t" $0 }' |
          grep -E "$pattern" | cut -f1 | sort | uniq -c)
  if [ -n "$found" ]; then
    echo "$name uses SSE or MMX instructions:"
    echo "$found"
    status=1
  else
    echo "$name: none"
  fi
done
exit $status
