#!/bin/bash
# CI: the fuzz targets built with clang++ (libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer), then each run for 30 seconds from its seeds. Any crash, leak,
# timeout or sanitizer report fails the step and leaves the input in build-fuzz/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
apt-get install -y --no-install-recommends clang libclang-rt-14-dev
CXX=clang++ cmake -S . -B build-fuzz -DZARVELIN_FUZZ=ON -DZARVELIN_TESTS=OFF -DZARVELIN_WERROR=ON
cmake --build build-fuzz -j2 --target fuzz_options fuzz_module fuzz_assets fuzz_model
mkdir -p build-fuzz/logs
for target in options module assets model; do
    log="build-fuzz/logs/ci-$target.log"
    if ! fuzz/run.sh build-fuzz "$target" 30 > "$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz target $target failed; its log: $log" >&2
        exit 1
    fi
    echo "fuzz $target: $(grep '^Done' "$log")"
done
