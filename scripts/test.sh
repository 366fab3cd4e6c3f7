#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (plain and under AddressSanitizer
# and UndefinedBehaviorSanitizer), the fuzz targets for a bounded time (ORVO_FUZZ_SECONDS per
# target, default 60), the Windows tests and end-to-end tests under Wine (the setup program
# included), the signatures of a 64-bit build signed with a throw-away certificate, the
# artwork check, the include check, and a build-only check of the 32-bit Windows programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/deps.sh"
. "$root/scripts/lib/signing.sh"
orvo_install_packages "${ORVO_BUILD_PACKAGES[@]}" "${ORVO_TEST_PACKAGES[@]}"

build=${ORVO_BUILD_ROOT:-$root/build}
jobs=$(nproc)
summary=()
step() { echo; echo "=== $*"; }

step "Artwork"
/usr/bin/python3 "$root/resources/check_artwork.py"

step "Includes point down"
bash "$root/scripts/check-includes.sh"

step "Native unit tests"
cmake -S "$root" -B "$build/native" -G Ninja >/dev/null
cmake --build "$build/native" -j "$jobs"
ctest --test-dir "$build/native" --output-on-failure -j "$jobs"

step "Native unit tests with sanitizers"
cmake -S "$root" -B "$build/sanitize" -G Ninja -DORVO_SANITIZE=ON >/dev/null
cmake --build "$build/sanitize" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$build/sanitize" --output-on-failure -j "$jobs"

step "Fuzzing (libFuzzer, ${ORVO_FUZZ_SECONDS:-60} s per target)"
ORVO_BUILD_ROOT="$build" bash "$root/scripts/fuzz.sh"

step "32-bit Windows build (compile and link only)"
cmake -S "$root" -B "$build/win32" -G Ninja -DORVO_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" >/dev/null
cmake --build "$build/win32" -j "$jobs"

step "64-bit Windows build, signed with a throw-away certificate; Windows and end-to-end tests under Wine"
signing="$build/test-signing"
orvo_test_certificate "$signing"
# No time stamp: there is no network here.
cmake -S "$root" -B "$build/win64" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DORVO_SIGN_PKCS12="$signing/test.p12" -DORVO_SIGN_PASSWORD_FILE="$signing/password.txt" \
    -DORVO_SIGN_TIMESTAMP_URL= >/dev/null
cmake --build "$build/win64" -j "$jobs"
orvo_verify_signatures "$signing/certificate.pem" "$build/win64"/installer-stage/{OrvoPCLock,OrvoPCLockTool,Uninstall}.exe \
    "$build/win64"/OrvoPCLock-Setup-*.exe
# Wine tests share displays and prefixes per fixture: run them one at a time.
ctest --test-dir "$build/win64" --output-on-failure
