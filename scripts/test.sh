#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds Ardivo with warnings as errors and runs
# every test, headless: once as built normally, once more under AddressSanitizer and
# UndefinedBehaviorSanitizer. The suite runs in the users' locale, it_IT.UTF-8; the conversion
# tests run under a few other locales too.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/check-format.sh
export QT_QPA_PLATFORM=offscreen
export LC_ALL=it_IT.UTF-8

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DARDIVO_WARNINGS_AS_ERRORS=ON
cmake --build build-test -j"$(nproc)"
ctest --test-dir build-test --output-on-failure

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DARDIVO_SANITIZE=ON \
    -DARDIVO_WARNINGS_AS_ERRORS=ON
cmake --build build-sanitize -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure
