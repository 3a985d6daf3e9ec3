#!/bin/sh
# usage: frame_calls.sh NM OBJECTS
# OBJECTS: the driver frame's object files, separated by ':'.
# Fails when two of them call into each other: A uses a symbol that B
# defines and B one that A defines. Each file of the frame then depends
# only on files below it.
nm="$1"
objects="$2"
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

count=0
old_ifs=$IFS
IFS=:
for object in $objects; do
  IFS=$old_ifs
  name=$(basename "$object" .obj)
  "$nm" --defined-only -g "$object" | awk 'NF == 3 && $2 ~ /^[TDBRC]$/ { print $3 }' | sort -u > "$work/$name.defs" || exit 1
  "$nm" -u "$object" | awk '{ print $NF }' | sort -u > "$work/$name.uses" || exit 1
  count=$((count + 1))
done
IFS=$old_ifs
if [ "$count" -lt 2 ]; then
  echo "expected the frame's objects, got $count"
  exit 1
fi

status=0
for a in "$work"/*.defs; do
  A=$(basename "$a" .defs)
  for b in "$work"/*.defs; do
    B=$(basename "$b" .defs)
    [ "$A" \< "$B" ] || continue
    ab=$(comm -12 "$work/$A.uses" "$work/$B.defs" | tr '\n' ' ')
    ba=$(comm -12 "$work/$B.uses" "$work/$A.defs" | tr '\n' ' ')
    if [ -n "$ab" ] && [ -n "$ba" ]; then
      echo "$A and $B call into each other:"
      echo "  $A uses $ab"
      echo "  $B uses $ba"
      status=1
    fi
  done
done
[ $status = 0 ] && echo "$count objects, no two calling into each other"
exit $status
