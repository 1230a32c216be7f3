#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need; does nothing when all
# are present.
set -euo pipefail
packages=(
    cmake g++ make libboost-dev
    qt6-base-dev qt6-translations-l10n
    fonts-ipafont-mincho fonts-ipafont-gothic fonts-ipaexfont-mincho
    xvfb xauth poppler-utils
    clang libclang-rt-14-dev locales
    qt6-svg-dev dpkg-dev file desktop-file-utils appstream groff-base
    ccache
)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
