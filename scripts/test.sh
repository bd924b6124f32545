#!/bin/sh
# Builds everything and runs every test: the core tests and the window tests (offscreen).
# QM_WERROR=ON in the environment makes every compiler warning an error.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_WERROR="${QM_WERROR:-OFF}" >/dev/null
cmake --build build
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure "$@"
