#!/usr/bin/env bash
# tools/sign.sh CERT KEY PROGRAM.exe...: signs each program in place with the certificate the product's
# maker supplies (certificate chain and private key, PEM or DER; YAR_SIGN_PASS holds the key's password
# when it has one), with a SHA-256 digest, and with a timestamp when YAR_SIGN_TIMESTAMP names a timestamp
# server, so that the signature outlives the certificate. Uses Debian's osslsigncode.
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 CERT KEY PROGRAM.exe..." >&2
  exit 2
fi
cert=$1 key=$2
shift 2
for exe in "$@"; do
  args=(sign -certs "$cert" -key "$key" -h sha256 -n "YAR Setup" -in "$exe" -out "$exe.signed")
  [ -z "${YAR_SIGN_PASS:-}" ] || args+=(-pass "$YAR_SIGN_PASS")
  [ -z "${YAR_SIGN_TIMESTAMP:-}" ] || args+=(-ts "$YAR_SIGN_TIMESTAMP")
  if ! osslsigncode "${args[@]}" >"$exe.sign.log" 2>&1; then
    cat "$exe.sign.log" >&2
    rm -f "$exe.signed" "$exe.sign.log"
    echo "$0: cannot sign $exe" >&2
    exit 1
  fi
  rm -f "$exe.sign.log"
  mv "$exe.signed" "$exe"
  echo "signed $exe"
done
