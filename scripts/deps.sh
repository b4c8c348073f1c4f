# Installs the Debian packages the build and the tests need, when missing.
# Sourced by the run and test commands.

BRICKPOV_PACKAGES="build-essential cmake ninja-build qt6-base-dev libgtest-dev libgmock-dev \
libbenchmark-dev xvfb xauth fonts-dejavu-core fonts-dejavu-extra povray povray-includes locales imagemagick clang libclang-rt-14-dev desktop-file-utils parallel python3-minimal qt6-image-formats-plugins libqt6opengl6-dev libgl1-mesa-dri"

brickpov_install_packages() {
    local missing=()
    for p in $BRICKPOV_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
    # The number tests also run in a locale whose decimal separator is ",".
    if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "warning: could not make de_DE.UTF-8"
    fi
}
