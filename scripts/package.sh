#!/usr/bin/env bash
# Installs what is missing, builds the program optimised (the program alone: no tests, no
# benchmark) and makes its Debian package, build-package/ardivo_<version>_<arch>.deb, which
# `apt install ./build-package/ardivo_*.deb` installs with what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build build-package -j"$(nproc)" --target ardivo
cd build-package
cpack -G DEB
