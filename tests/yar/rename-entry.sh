#!/usr/bin/env bash
# rename-entry.sh FILE OLD NEW: renames a stored entry in an archive or in a set's volume in place, as a
# tampered distribution would, by replacing every OLD in the file's bytes with NEW. The names must be of
# one length; in a set packed with -m none, where the name list is stored as it is, they must also have
# one byte sum, so that the name list's checksum still holds.
set -euo pipefail
file=$1 old=$2 new=$3
[ "${#old}" -eq "${#new}" ] || { echo "rename-entry.sh: $old and $new differ in length" >&2; exit 2; }
sum() { local s=0 i; for ((i = 0; i < ${#1}; i++)); do s=$((s + $(printf '%d' "'${1:i:1}"))); done; echo "$s"; }
[ "$(sum "$old")" -eq "$(sum "$new")" ] || { echo "rename-entry.sh: $old and $new differ in byte sum" >&2; exit 2; }
OLD=$old NEW=$new perl -0777 -pi -e '$n = s/\Q$ENV{OLD}\E/$ENV{NEW}/g; die "no $ENV{OLD} in the file\n" unless $n' "$file"
