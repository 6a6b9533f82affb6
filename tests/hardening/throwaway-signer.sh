# Sourced by the signing tests: a certificate authority and a code-signing certificate made for
# one test run, never kept anywhere else.
#
#   make_throwaway_signer DIR   (the key's password in $SETUP_TEST_SIGN_PASSWORD)
#
# leaves in DIR: ca.crt (the authority), signer.crt and signer.key (the certificate and its key,
# encrypted with the password) and signer.p12 (both, with the authority, under the password).
make_throwaway_signer() {
  local dir=$1
  mkdir -p "$dir"
  (
    cd "$dir"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Throwaway Test CA" \
      -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
      -keyout ca.key -out ca.crt
    openssl req -newkey rsa:2048 -subj "/CN=Throwaway Code Signing" \
      -passout env:SETUP_TEST_SIGN_PASSWORD -keyout signer.key -out signer.csr
    printf 'basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
    openssl x509 -req -days 2 -in signer.csr -CA ca.crt -CAkey ca.key -CAcreateserial \
      -extfile signer.ext -out signer.crt
    openssl pkcs12 -export -inkey signer.key -passin env:SETUP_TEST_SIGN_PASSWORD -in signer.crt \
      -certfile ca.crt -passout env:SETUP_TEST_SIGN_PASSWORD -out signer.p12
    rm -f ca.key ca.srl signer.csr signer.ext
  ) >/dev/null 2>&1 || { echo "openssl could not make the throwaway signer"; return 1; }
}
