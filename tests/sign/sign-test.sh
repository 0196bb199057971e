#!/usr/bin/env bash
# tools/sign.sh with a throwaway certificate made here: the signed copy of the program verifies against
# it, carries the product's name, and a copy changed after signing no longer verifies.
set -euo pipefail
program=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 -subj "/CN=YAR Setup Test Signer" \
  -keyout "$tmp/key.pem" -out "$tmp/cert.pem" 2>/dev/null
cp "$program" "$tmp/program.exe"
if osslsigncode verify -CAfile "$tmp/cert.pem" -in "$tmp/program.exe" >/dev/null 2>&1; then
  fail "the unsigned program verifies"
fi

"$root/tools/sign.sh" "$tmp/cert.pem" "$tmp/key.pem" "$tmp/program.exe" >/dev/null
report=$(osslsigncode verify -CAfile "$tmp/cert.pem" -in "$tmp/program.exe" 2>&1) ||
  fail "the signed program does not verify: $report"
grep -q 'YAR Setup Test Signer' <<<"$report" || fail "the signer is not named: $report"
grep -q 'Text description: YAR Setup' <<<"$report" || fail "the signature does not carry the product's name"

# One byte of the code changed after signing: the digest no longer matches.
cp "$tmp/program.exe" "$tmp/changed.exe"
printf '\x90' | dd of="$tmp/changed.exe" bs=1 seek=2000 conv=notrunc 2>/dev/null
if osslsigncode verify -CAfile "$tmp/cert.pem" -in "$tmp/changed.exe" >/dev/null 2>&1; then
  fail "a changed program still verifies"
fi
"$root/tools/sign.sh" "$tmp/cert.pem" /nonexistent/key.pem "$tmp/changed.exe" >/dev/null 2>&1 &&
  fail "signing without the key succeeded"
echo "signed and verified $(basename "$program")"
