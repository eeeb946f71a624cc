#!/usr/bin/env bash
# Signs the package the way `make dist` does, with a throwaway self-signed
# code-signing certificate, and checks every signature with osslsigncode:
# the seven programs inside the package, the driver closer that the package
# runs from its Binary table, and the package itself verify against
# that certificate, not against another one, and fail once changed. Without
# a certificate the package is built unsigned and dist.sh says so. No
# time-stamp server is ever contacted.
# Usage: package-signing-test.sh WORK_DIR BIN_DIR
#   WORK_DIR  scratch folder (wiped first)
#   BIN_DIR   the build's folder of programs, as dist.sh takes it
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$1 bin=$2
programs=(Brelvin.exe LINK.dll Penvaro.exe Camvito.exe Tilmaro.exe Sondaro.exe Kalmeno.exe Probyx.dll)
unset BRELVIN_SIGN_PKCS12 BRELVIN_SIGN_PASSWORD BRELVIN_SIGN_TIMESTAMP

. "$here/checks.sh"

rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
keys="$work/keys"
mkdir -p "$keys"
password="throwaway-$RANDOM$RANDOM"

# A self-signed certificate for code signing, and an unrelated one.
make_certificate() { # name, subject, extra req options...
  local name=$1 subject=$2
  shift 2
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "$subject" "$@" \
    -keyout "$keys/$name.key" -out "$keys/$name.pem" >"$keys/$name.log" 2>&1
}
make_certificate signer "/CN=Board suite throwaway signer" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" ||
  die "openssl could not make the certificate (see $keys/signer.log)"
make_certificate stranger "/CN=Someone else" -addext "extendedKeyUsage=codeSigning" ||
  die "openssl could not make the second certificate (see $keys/stranger.log)"
openssl pkcs12 -export -inkey "$keys/signer.key" -in "$keys/signer.pem" -out "$keys/signer.p12" \
  -passout "pass:$password" >"$keys/pkcs12.log" 2>&1 || die "openssl could not write the PKCS#12 file"

verifies() { # file, certificate
  osslsigncode verify -CAfile "$2" -in "$1" >"$work/verify.log" 2>&1
}
fails_to_verify() { ! verifies "$@"; }
extract() { # package, folder: the package's program folder
  rm -rf "$2"
  mkdir -p "$2"
  msiextract -C "$2" "$1" >/dev/null || return 1
  find "$2" -name Brelvin.exe -printf '%h\n' | head -1
}
# A copy of a file with one byte of its first section (past the headers)
# turned around.
changed_copy() { # file, copy
  cp "$1" "$2"
  local byte
  byte=$(od -An -tu1 -j 1040 -N1 "$2" | tr -d ' ')
  printf "\\x$(printf %02x $(( byte ^ 0xff )))" | dd of="$2" bs=1 seek=1040 conv=notrunc 2>/dev/null
}

echo "== signed with a certificate"
package=$(BRELVIN_SIGN_PKCS12="$keys/signer.p12" BRELVIN_SIGN_PASSWORD="$password" \
            "$root/scripts/dist.sh" "$bin" "$work/signed" 2>"$work/signed.log") ||
  { cat "$work/signed.log"; die "dist.sh with a certificate"; }
check "dist.sh does not call the package unsigned" bash -c '! grep -qi unsigned "$1"' _ "$work/signed.log"
check "the package verifies against the certificate" verifies "$package" "$keys/signer.pem"
check "the package does not verify against another certificate" fails_to_verify "$package" "$keys/stranger.pem"
folder=$(extract "$package" "$work/signed-files")
[ -n "$folder" ] || die "extracting the signed package"
for f in "${programs[@]}"; do
  check "$f in the package verifies against the certificate" verifies "$folder/$f" "$keys/signer.pem"
done
for helper in DriverCloser.exe SettingsCheck.dll; do
  msiinfo extract "$package" "Binary.${helper%.*}" >"$work/$helper" || die "extracting $helper"
  check "$helper in the package verifies against the certificate" verifies "$work/$helper" "$keys/signer.pem"
done
check "a program does not verify against another certificate" fails_to_verify "$folder/Brelvin.exe" "$keys/stranger.pem"
changed_copy "$folder/Penvaro.exe" "$work/Penvaro-changed.exe"
check "a program changed after signing fails" fails_to_verify "$work/Penvaro-changed.exe" "$keys/signer.pem"
cp "$package" "$work/changed.msi"
msibuild "$work/changed.msi" -q "UPDATE \`Property\` SET \`Value\` = '0' WHERE \`Property\` = 'ARPNOMODIFY'" ||
  die "changing the copy of the package"
check "a package changed after signing fails" fails_to_verify "$work/changed.msi" "$keys/signer.pem"

echo "== a wrong password"
check "dist.sh stops instead of building an unsigned package" \
  bash -c '! BRELVIN_SIGN_PKCS12="$1" BRELVIN_SIGN_PASSWORD=wrong "$2" "$3" "$4" >/dev/null 2>&1 && [ ! -e "$4"/*.msi ]' \
  _ "$keys/signer.p12" "$root/scripts/dist.sh" "$bin" "$work/wrong-password"

echo "== without a certificate"
package=$("$root/scripts/dist.sh" "$bin" "$work/unsigned" 2>"$work/unsigned.log") || die "dist.sh without a certificate"
check "the policy templates lie beside the package, well-formed" \
  python3 -c 'import sys, xml.etree.ElementTree as x; [x.parse(sys.argv[1] + f) for f in sys.argv[2:]]' \
  "$work/unsigned/PolicyDefinitions/" Brelvin.admx en-US/Brelvin.adml zh-CN/Brelvin.adml
check "dist.sh says the package is unsigned" grep -qi unsigned "$work/unsigned.log"
check "the package carries no signature" fails_to_verify "$package" "$keys/signer.pem"
folder=$(extract "$package" "$work/unsigned-files")
check "the programs carry no signature" fails_to_verify "$folder/Brelvin.exe" "$keys/signer.pem"

echo "$failures failed"
[ "$failures" -eq 0 ]
