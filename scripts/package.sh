#!/usr/bin/env bash
# Builds the Debian package vilorka_<version>_<arch>.deb in build-deb/: the program alone,
# Release, laid out under /usr (the chart module in /usr/lib/<arch>/vilorka/).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
# dpkg-shlibdeps (dpkg-dev) finds the Qt libraries the package depends on; without it CPack
# would silently write a package that depends on the platform plugins alone. file tells CPack
# which files are shared objects.
vilorka_install_deps dpkg-dev file

cmake --preset release -B build-deb -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-deb
cd build-deb
cpack -G DEB
