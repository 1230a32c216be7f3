#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts Quorvel.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target quorvel -j"$(nproc)"
# The program reads ndlist.txt from its start directory, which the build fills.
cd build/release/bin
exec ./quorvel "$@"
