#!/bin/sh
# Installs the Debian packages the build, the tests and the benchmarks need (when missing).
set -e
PKGS="cmake ninja-build g++ qt6-base-dev libgtest-dev libbenchmark-dev fonts-dejavu-core xvfb xauth xdotool
imagemagick locales clang-format git clang-14 libclang-rt-14-dev python3 hyperfine
dpkg-dev desktop-file-utils shared-mime-info xdg-utils libglib2.0-bin groff-base file
libxml2-dev libgettextpo-dev gettext qt6-l10n-tools translate-toolkit libxml2-utils libcli11-dev"
missing=""
for p in $PKGS; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
    echo "Installing:$missing"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq -o DPkg::Lock::Timeout=600 \
        --no-install-recommends $missing
fi
# The collation tests and benchmarks use en_US.UTF-8.
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$'; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO sed -i 's/^# *en_US.UTF-8 UTF-8/en_US.UTF-8 UTF-8/' /etc/locale.gen
    $SUDO locale-gen >/dev/null
fi
