# Installs the Debian packages a command needs, when any is missing (these machines run as root;
# elsewhere sudo is used when present).
orvo_install_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

ORVO_BUILD_PACKAGES=(cmake ninja-build g++ googletest libgtest-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 fonts-wine xvfb fonts-liberation
    python3 python3-pil nsis wixl msitools)
ORVO_TEST_PACKAGES=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 clang libclang-rt-14-dev
    xcompmgr x11-apps imagemagick xserver-xephyr x11-xserver-utils osslsigncode openssl p7zip-full)
