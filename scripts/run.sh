#!/bin/sh
# Builds the editor and starts it.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target quillmere
exec ./build/app/quillmere "$@"
