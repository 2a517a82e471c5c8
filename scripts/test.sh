#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests (with sanitizers)
# and the Windows programs under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh native win32 win64
ctest --preset native -j "$(nproc)"
