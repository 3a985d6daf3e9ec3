#!/bin/sh
# usage: exports.sh OBJDUMP CMAKE BINDIR ZIP WORKDIR
# Fails unless the driver module, in the build folder and in the package,
# exports exactly its ten entry points, by name and by ordinals 1 to 10:
# anything more is reachable by every program that loads it.
objdump="$1"
cmake="$2"
bin="$3"
zip="$4"
work="$5"

expected='1 DevInitialize
2 DevTerminate
3 DevBufferCreate
4 DevBufferResize
5 DevBufferDelete
6 DevBufferNotify
7 DevContextCreate
8 DevContextDelete
9 DevContextSwitch
10 DevContextValidate'

# One line per export: "ordinal name", or "ordinal -" for one without a name.
exports_of() {
  "$objdump" -p "$1" | awk '
    /^Export Address Table -- Ordinal Base/ { base = $NF; section = "eat"; next }
    /^\[Ordinal\/Name Pointer\] Table/ { section = "names"; next }
    /^$/ { section = "" }
    section == "eat" && /Export RVA/ { sub(/.*\+base\[ */, ""); sub(/\].*/, ""); rva[$0] = 1 }
    section == "names" && /^\t\[/ { line = $0; sub(/^\t\[ */, "", line); idx = line; sub(/\].*/, "", idx)
                                    name = line; sub(/^[0-9]+\] /, "", name); named[idx + base] = name }
    END { for (o in rva) print o, (o in named ? named[o] : "-");
          for (o in named) if (!(o in rva)) print o, named[o] }' | sort -n | uniq
}

check() {
  label="$1"
  file="$2"
  if [ ! -f "$file" ]; then
    echo "$label: missing $file"
    return 1
  fi
  actual=$(exports_of "$file")
  if [ "$actual" = "$expected" ]; then
    echo "$label: the ten entry points"
    return 0
  fi
  echo "$label exports:"
  echo "$actual"
  echo "expected:"
  echo "$expected"
  return 1
}

status=0
check "build/bin/rastrel.vxn" "$bin/rastrel.vxn" || status=1
rm -rf "$work"
mkdir -p "$work"
if (cd "$work" && "$cmake" -E tar xf "$zip"); then
  check "rastrel.vxn in $(basename "$zip")" "$work/3-D Vistaro/rastrel.vxn" || status=1
else
  echo "cannot unpack $zip"
  status=1
fi
exit $status
