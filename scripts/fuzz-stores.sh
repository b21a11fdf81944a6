#!/usr/bin/env bash
# Fuzzes the INI file and the registry file with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer (tests/fuzz/StoreFuzz.cpp): builds the target with clang in
# build-fuzz/ and runs it for the given seconds (default 300) on the corpus it keeps in
# build-fuzz/store-corpus. A finding is saved as build-fuzz/crash-*; once understood and fixed,
# it belongs in DamagedFileTest as a row. Needs clang and libclang-rt-14-dev.
#
#   scripts/fuzz-stores.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZBPG_BUILD_FUZZ=ON -DZBPG_BUILD_TESTS=OFF -DZBPG_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS="$flags" \
    >/dev/null
cmake --build build-fuzz --target store_fuzz
mkdir -p build-fuzz/store-corpus
cd build-fuzz
./store_fuzz -max_total_time="$seconds" -dict=../tests/fuzz/stores.dict store-corpus
