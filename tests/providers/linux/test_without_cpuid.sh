#!/usr/bin/env bash
# The Linux provider as architectures without CPUID build it, proven on x86: with MORAVEL_CPUID=OFF
# the core holds no CPUID instruction (the normal build's does) and the fixture machines, the KVM
# guest and the ARM board among them, read as they do with it.
set -u
build=${MORAVEL_BUILD_DIR:?set by ctest}
source=${MORAVEL_SOURCE_DIR:?set by ctest}
fail() { echo "FAIL: $*"; exit 1; }
case "$(uname -m)" in
x86_64 | i?86) ;;
*) echo "SKIP: not x86, so every build here is already without CPUID"; exit 77 ;;
esac
command -v objdump >/dev/null || { echo "SKIP: no objdump"; exit 77; }

dir="$build/without-cpuid"
# Unoptimised and without debug information: the quickest build that runs the tests.
cmake -S "$source" -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DMORAVEL_GUI=OFF -DMORAVEL_CPUID=OFF \
    >"$build/without-cpuid.log" 2>&1 &&
    cmake --build "$dir" --target moravel_tests -j "$(nproc)" >>"$build/without-cpuid.log" 2>&1 ||
    { tail -n 30 "$build/without-cpuid.log"; fail "the build without CPUID failed"; }

uses_cpuid() { objdump -d "$1/libmoravel_platform.a" | grep -qE '\scpuid(\s|$)'; }
uses_cpuid "$build" || fail "the normal build holds no CPUID instruction either, so this check proves nothing"
uses_cpuid "$dir" && fail "the build without CPUID still holds the instruction"
echo "ok: no CPUID instruction in the core built with MORAVEL_CPUID=OFF"

"$dir/tests/moravel_tests" --gtest_brief=1 --gtest_filter='Desktop.*:Laptop.*:Container.*:KvmGuest.*:ArmBoard.*' ||
    fail "fixture tests fail without CPUID"
