# shellcheck shell=bash
# Sourced by the yar command-line scripts with their arguments WORKDIR YAR [RUNNER...]: a fresh WORKDIR as
# the current directory, and the failure count with fail, run and expect.
set -uo pipefail
work=${1:?work directory}; yar=${2:?yar program}; shift 2
runner=("$@")
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# RUNNER (e.g. Wine) runs YAR; paths handed to it are relative to WORKDIR.
run() { "${runner[@]}" "$yar" "$@"; }
# expect CODE CMD...: runs yar, keeps its output in out.txt and err.txt, checks the exit code.
expect() {
  local want=$1; shift
  run "$@" >out.txt 2>err.txt
  local got=$?
  [ "$got" -eq "$want" ] || { fail "yar $* exited $got, wanted $want"; cat out.txt err.txt; }
}
