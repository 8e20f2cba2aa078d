#!/usr/bin/env bash
# sign.sh UNSIGNED SIGNED: signs the installer with Authenticode (SHA-256)
# with the certificate SIGN_CERT (a PEM file) and the private key SIGN_KEY:
# a PEM file, or with SIGN_PKCS11_MODULE a pkcs11: URI of a key on a token or
# HSM, which osslsigncode reaches through OpenSSL's PKCS#11 engine. The PIN is
# SIGN_PIN; without it the engine asks for it on the terminal.
# SIGN_TIMESTAMP, when set, is the URL of an RFC 3161 time-stamp server.
# The signature is written beside SIGNED and moved there only when it is
# complete and removing it again gives UNSIGNED byte for byte, so a failure
# leaves no half-signed file behind.
set -euo pipefail
unsigned=$1
signed=$2
work=$(mktemp -d "$(dirname "$signed")/.sign.XXXXXX")
trap 'rm -rf "$work"' EXIT

args=(-certs "$SIGN_CERT" -key "$SIGN_KEY" -h sha256 -n "QV Setup")
[ -n "${SIGN_PKCS11_MODULE:-}" ] && args+=(-pkcs11module "$SIGN_PKCS11_MODULE")
# The PIN goes through a pipe: on a command line every user of the machine
# could read it, and a file could outlive the run.
if [ -n "${SIGN_PIN:-}" ]; then
  exec 3< <(printf '%s' "$SIGN_PIN")
  args+=(-readpass /dev/fd/3)
fi
[ -n "${SIGN_TIMESTAMP:-}" ] && args+=(-ts "$SIGN_TIMESTAMP")
if ! output=$(osslsigncode sign "${args[@]}" -in "$unsigned" -out "$work/signed.exe" 2>&1); then
  echo "sign: osslsigncode failed: $output" >&2
  exit 1
fi
# The signature goes on the end of the file and into the header's certificate
# entry and checksum; undoing it must restore the unsigned build exactly.
osslsigncode remove-signature -in "$work/signed.exe" -out "$work/unsigned.exe" >/dev/null
cmp -s "$work/unsigned.exe" "$unsigned" || {
  echo "sign: removing the signature does not give $unsigned again" >&2
  exit 1
}
mv "$work/signed.exe" "$signed"
