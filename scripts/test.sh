#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (plain and under AddressSanitizer
# and UndefinedBehaviorSanitizer), the fuzz targets for a bounded time (ORVO_FUZZ_SECONDS per
# target, default 60), the Windows tests and end-to-end tests under Wine (the setup program
# included), the signatures of a 64-bit build signed with a throw-away certificate, the
# artwork check, the include check, and a build-only check of the 32-bit Windows programs.
#
#   scripts/test.sh                              everything
#   scripts/test.sh --unit [--sanitize] [REGEX]  the native unit tests (ctest -R REGEX), plain or
#                                                under the sanitizers
#   scripts/test.sh --win [PROGRAM] [FILTER]     one Windows test program (LockWindowTest) or all,
#                                                under Wine; FILTER is a GoogleTest filter
#   scripts/test.sh --e2e [SCENARIO]             one end-to-end scenario (lock_cycle_test) or all
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/deps.sh"
. "$root/scripts/lib/signing.sh"

usage() { sed -n '7,12s/^# \{0,1\}//p' "$0" >&2; exit 2; }
mode=all
case ${1:-} in
    "") ;;
    --unit|--win|--e2e) mode=${1#--}; shift ;;
    -h|--help) usage ;;
    *) echo "unknown option: $1" >&2; usage ;;
esac

build=${ORVO_BUILD_ROOT:-$root/build}
jobs=$(nproc)
step() { echo; echo "=== $*"; }

configure_win64() {
    cmake -S "$root" -B "$build/win64" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
}

unit_tests() {   # unit_tests [ctest arguments]
    step "Native unit tests"
    cmake -S "$root" -B "$build/native" -G Ninja >/dev/null
    cmake --build "$build/native" -j "$jobs"
    ctest --test-dir "$build/native" --output-on-failure -j "$jobs" "$@"
}

sanitized_unit_tests() {   # sanitized_unit_tests [ctest arguments]
    step "Native unit tests with sanitizers"
    cmake -S "$root" -B "$build/sanitize" -G Ninja -DORVO_SANITIZE=ON >/dev/null
    cmake --build "$build/sanitize" -j "$jobs"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir "$build/sanitize" --output-on-failure -j "$jobs" "$@"
}

# One Windows test program (the name with or without "win_" and "Test") and the fixture that
# makes its Wine prefix and display; GoogleTest reads the filter from GTEST_FILTER.
win_test() {   # win_test [PROGRAM] [FILTER]
    local name=${1:-} filter=${2:-}
    configure_win64
    if [ -z "$name" ]; then
        step "Windows tests under Wine"
        cmake --build "$build/win64" -j "$jobs"
        GTEST_FILTER=${filter:-*} ctest --test-dir "$build/win64" --output-on-failure -L win
        return
    fi
    name=${name#win_}
    name=${name%.exe}
    [[ $name == *Test ]] || name=${name}Test
    [ -f "$root/tests/win/$name.cpp" ] || { echo "no test program tests/win/$name.cpp" >&2; exit 2; }
    step "win_$name under Wine${filter:+ ($filter)}"
    # The programs beside it: some tests load their pictures or start them.
    cmake --build "$build/win64" -j "$jobs" --target "win_$name.exe" OrvoPCLock.exe OrvoPCLockTool.exe OrvoPCLockGuard.exe
    GTEST_FILTER=${filter:-*} ctest --test-dir "$build/win64" --output-on-failure \
        -R "^(wine_setup|win_$name|wine_cleanup)\$"
}

# One end-to-end scenario (the script's name with or without "e2e_" and "_test") or all.
e2e_test() {   # e2e_test [SCENARIO]
    local name=${1:-}
    configure_win64
    if [ -z "$name" ]; then
        step "End-to-end scenarios"
        cmake --build "$build/win64" -j "$jobs"
        ctest --test-dir "$build/win64" --output-on-failure -L e2e
        return
    fi
    name=${name#e2e_}
    name=${name%.sh}
    [[ $name == *_test ]] || name=${name}_test
    [ -f "$root/tests/e2e/$name.sh" ] || { echo "no scenario tests/e2e/$name.sh" >&2; exit 2; }
    step "e2e_$name"
    # The scenarios drive the programs with the driver; only the setup program's needs the setup.
    cmake --build "$build/win64" -j "$jobs" --target OrvoPCLock.exe OrvoPCLockTool.exe OrvoPCLockGuard.exe OrvoPCLockService.exe orvo_driver.exe \
        $(case $name in installer_test|service_test) echo installer msi ;; esac)
    ctest --test-dir "$build/win64" --output-on-failure -R "^e2e_$name\$"
}

case $mode in
unit)
    orvo_install_packages "${ORVO_BUILD_PACKAGES[@]}" "${ORVO_TEST_PACKAGES[@]}"
    sanitize=0
    [ "${1:-}" = --sanitize ] && { sanitize=1; shift; }
    args=()
    [ -n "${1:-}" ] && args=(-R "$1")
    if [ $sanitize = 1 ]; then sanitized_unit_tests "${args[@]}"; else unit_tests "${args[@]}"; fi
    exit 0 ;;
win)
    orvo_install_packages "${ORVO_BUILD_PACKAGES[@]}" "${ORVO_TEST_PACKAGES[@]}"
    win_test "$@"
    exit 0 ;;
e2e)
    orvo_install_packages "${ORVO_BUILD_PACKAGES[@]}" "${ORVO_TEST_PACKAGES[@]}"
    e2e_test "$@"
    exit 0 ;;
esac

orvo_install_packages "${ORVO_BUILD_PACKAGES[@]}" "${ORVO_TEST_PACKAGES[@]}"

step "Artwork"
/usr/bin/python3 "$root/resources/check_artwork.py"

step "Includes point down"
bash "$root/scripts/check-includes.sh"

unit_tests
sanitized_unit_tests

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
orvo_verify_signatures "$signing/certificate.pem" "$build/win64"/installer-stage/{OrvoPCLock,OrvoPCLockTool,OrvoPCLockGuard,OrvoPCLockService,Uninstall}.exe \
    "$build/win64"/OrvoPCLock-Setup-*.exe "$build/win64"/OrvoPCLock-*.msi
orvo_verify_setup_contents "$signing/certificate.pem" "$build/win64"/OrvoPCLock-Setup-*.exe
# Wine tests share displays and prefixes per fixture: run them one at a time. A scenario that
# fails runs once more, so a key a loaded machine lost does not fail the run; its first output
# stays in the log above the second try.
ctest --test-dir "$build/win64" --output-on-failure --repeat until-pass:2
