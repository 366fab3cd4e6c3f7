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

# Every Windows program or library packed inside a setup program carries our signature: Smart
# App Control blocks a setup that loads an unsigned one (NSIS's plugins are such libraries).
# 7-Zip (Debian package p7zip-full) unpacks the setup program, its plugins folder included.
orvo_verify_setup_contents() {
    local certificate=$1 setup=$2 dir file count=0
    dir=$(mktemp -d)
    7z x -y -o"$dir" "$setup" >"$dir.log" 2>&1 || { echo "Cannot unpack $setup (see $dir.log)" >&2; return 1; }
    while IFS= read -r -d '' file; do
        [ "$(head -c 2 "$file")" = MZ ] || continue
        orvo_verify_signatures "$certificate" "$file" || return 1
        count=$((count + 1))
    done < <(find "$dir" -type f -print0)
    [ "$count" -gt 0 ] || { echo "No program found inside $setup" >&2; return 1; }
    rm -rf "$dir" "$dir.log"
}
