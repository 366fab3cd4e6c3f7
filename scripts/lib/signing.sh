# The test command's signing: a throw-away certificate and the check of the signatures it made.

# A self-signed code-signing certificate for the test build, kept while it has a week left (a
# new one makes the build sign everything again).
orvo_test_certificate() {
    local dir=$1
    if openssl x509 -checkend 604800 -noout -in "$dir/certificate.pem" >/dev/null 2>&1 && [ -f "$dir/test.p12" ]; then
        return 0
    fi
    mkdir -p "$dir"
    openssl rand -base64 24 > "$dir/password.txt"
    openssl req -x509 -newkey rsa:3072 -nodes -days 60 -subj "/CN=Orvo PC Lock test signing" \
        -addext extendedKeyUsage=codeSigning -addext keyUsage=critical,digitalSignature \
        -keyout "$dir/key.pem" -out "$dir/certificate.pem" 2>/dev/null
    openssl pkcs12 -export -inkey "$dir/key.pem" -in "$dir/certificate.pem" -out "$dir/test.p12" \
        -passout "file:$dir/password.txt"
}

# Each file carries an intact signature by the given certificate. The certificate is its own
# root, so it is named as the trusted one; no time stamp is expected.
orvo_verify_signatures() {
    local certificate=$1 file log
    shift
    for file in "$@"; do
        log="$(dirname "$certificate")/$(basename "$file").verify.log"
        osslsigncode verify -CAfile "$certificate" -in "$file" >"$log" 2>&1 ||
            { echo "Signature check failed: $file (see $log)" >&2; return 1; }
        echo "Signed: $(basename "$file")"
    done
}
