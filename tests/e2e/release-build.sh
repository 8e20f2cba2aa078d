#!/usr/bin/env bash
# make installer as a maintainer runs it, signing with the code-signing
# certificate of a throwaway CA, from a copy of the sources in another folder
# and later than the tested build: its unsigned installer equals the tested one
# byte for byte; signed by key file or token, it verifies against the CA. The version
# information, as windres reads it back from the built file, is German and
# holds the installer's texts; the signed file's manifest read back asks for
# administrator rights and the current common controls, names every supported
# Windows and declares DPI awareness, and its header asks to run from swap.
set -euo pipefail
rm -rf "$QV_E2E_WORK"
mkdir -p "$QV_E2E_WORK/elsewhere/build/host/tools/qvpack"
cd "$QV_E2E_WORK"
tar -C "$QV_ROOT" --exclude=./build -cf - . | tar -C elsewhere -xf -
ln -s "$QV_QVPACK" elsewhere/build/host/tools/qvpack/qvpack

openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=QV-Test-CA -keyout ca.key -out ca.pem 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj /CN=QV-Test -keyout key.pem -out cert.csr 2>/dev/null
openssl x509 -req -in cert.csr -CA ca.pem -CAkey ca.key -out cert.pem \
  -extfile <(echo extendedKeyUsage=codeSigning) 2>/dev/null
SIGN_CERT=cert.pem SIGN_KEY=key.pem elsewhere/scripts/installer.sh "$QV_ROOT/package"
cmp elsewhere/build/installer/QVSetup.exe "$QV_SETUP_EXE"
osslsigncode verify -CAfile ca.pem -in elsewhere/build/QVSetup.exe

export SOFTHSM2_CONF=$PWD/softhsm2.conf module=/usr/lib/softhsm/libsofthsm2.so
mkdir tokens && echo "directories.tokendir = $PWD/tokens" >"$SOFTHSM2_CONF"
softhsm2-util --init-token --free --label qv-test --so-pin 4321 --pin 1234 >/dev/null
pkcs11-tool --module $module --login --pin 1234 --write-object key.pem --type privkey --label qv-key >/dev/null
SIGN_CERT=cert.pem SIGN_PKCS11_MODULE=$module SIGN_KEY='pkcs11:token=qv-test;object=qv-key' SIGN_PIN=1234 \
  elsewhere/scripts/installer.sh "$QV_ROOT/package"
osslsigncode verify -CAfile ca.pem -in elsewhere/build/QVSetup.exe

version=$(sed -n 's/^project(QVSetup VERSION \([0-9.]*\).*/\1/p' "$QV_ROOT/CMakeLists.txt")
i686-w64-mingw32-windres -i "$QV_SETUP_EXE" -O rc | awk '/^LANGUAGE/ {language = $0}
  / VERSIONINFO$/ {print language; found = 1} /^END/ {found = 0}
  found && sub(/^ *(FILEVERSION|PRODUCTVERSION|BLOCK "0|VALUE)/, "&")' | sed 's/^ *//' >version.rc
diff version.rc - <<EOF
LANGUAGE 7, 1
FILEVERSION ${version//./, }, 0
PRODUCTVERSION ${version//./, }, 0
BLOCK "040704E4"
VALUE "FileDescription", "QV Setup"
VALUE "FileVersion", "$version"
VALUE "InternalName", "QVSetup"
VALUE "OriginalFilename", "QVSetup.exe"
VALUE "ProductName", "QV"
VALUE "ProductVersion", "$version"
VALUE "Translation", 0x407, 1252
EOF

PYTHONPATH=$(dirname "$0") python3 - elsewhere/build/QVSetup.exe >manifest.txt <<'PYTHON'
import struct
import sys
import xml.etree.ElementTree as ElementTree
from pe_resources import Image

image = Image(sys.argv[1])
pe = struct.unpack_from("<I", image.bytes, 0x3C)[0]
print("run from swap: removable %d, network %d" % tuple(
    bool(struct.unpack_from("<H", image.bytes, pe + 22)[0] & flag) for flag in (0x400, 0x800)))
at, size = image.resource(24, 1)
for element in ElementTree.fromstring(bytes(image.bytes[at:at + size])).iter():
    tag = element.tag.split("}")[1]
    if tag == "requestedExecutionLevel":
        print(tag, element.get("level"), element.get("uiAccess"))
    elif tag == "supportedOS":
        print(tag, element.get("Id"))
    elif tag == "dpiAware":
        print(tag, element.text)
    elif tag == "assemblyIdentity" and element.get("name") != "QV.Setup":
        print(tag, element.get("name"), element.get("version"), element.get("publicKeyToken"))
PYTHON
diff manifest.txt - <<EOF
run from swap: removable 1, network 1
requestedExecutionLevel requireAdministrator false
supportedOS {e2011457-1546-43c5-a5fe-008deee3d3f0}
supportedOS {35138b9a-5d96-4fbd-8e2d-a2440225f93a}
supportedOS {4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}
supportedOS {1f676c76-80e1-4239-95bb-83d0f6d0da78}
supportedOS {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}
dpiAware true
assemblyIdentity Microsoft.Windows.Common-Controls 6.0.0.0 6595b64144ccf1df
EOF
