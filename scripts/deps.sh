#!/usr/bin/env bash
# Installs what Ardivo needs to build, run, test and package on Debian 12 or Ubuntu (as root),
# and the locales the tests run in (it_IT.UTF-8, the users' own, and a few others). The Debian
# package needs dpkg-shlibdeps (dpkg-dev) and file to find its dependencies; appstream and
# desktop-file-utils check its metainfo and .desktop file.
set -euo pipefail
packages=(cmake g++ make git clang-format qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite
          libgl-dev qt6-translations-l10n fonts-dejavu-core fonts-liberation fonts-wqy-microhei
          zlib1g-dev libquazip1-qt6-dev poppler-utils locales dpkg-dev file appstream
          desktop-file-utils)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
for l in it_IT de_DE en_US; do
    locale -a 2>/dev/null | grep -qix "$l.utf-\?8" || localedef -i "$l" -f UTF-8 "$l.UTF-8"
done
