#!/usr/bin/env bash
# Makes a throw-away certificate authority and a server certificate it signed,
# for the TLS tests. Nothing here is trusted anywhere until a test trusts it
# (tests/tools/with-site-variants.sh --trust-ca, in a prefix copy of its own).
#
#   tests/tools/make-test-ca.sh DIR
#
# DIR gets ca.pem (and ca.der, the form the platform's certificate store
# takes), server.pem and server-key.pem. The server certificate names
# DNS:localhost only: WinHTTP matches the name against DNS names, so an
# address such as 127.0.0.1 in the certificate is not enough.
set -euo pipefail
dir=${1:?make-test-ca.sh needs a directory}
mkdir -p "$dir"
cd "$dir"

openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 \
  -subj "/CN=Fuelwise test CA $$" \
  -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -keyout ca-key.pem -out ca.pem 2>/dev/null
openssl x509 -in ca.pem -outform DER -out ca.der

openssl req -newkey rsa:2048 -nodes -sha256 -subj "/CN=localhost" \
  -keyout server-key.pem -out server.csr 2>/dev/null
printf '%s\n' \
  'basicConstraints=CA:FALSE' \
  'keyUsage=critical,digitalSignature,keyEncipherment' \
  'extendedKeyUsage=serverAuth' \
  'subjectAltName=DNS:localhost' > server.ext
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca-key.pem -CAcreateserial -sha256 -days 2 \
  -extfile server.ext -out server.pem 2>/dev/null
rm -f server.csr server.ext ca.srl
