#!/usr/bin/env bash
# The folders depend one way. Includes name their folder from the root, so an arrow the wrong way
# shows in its #include. query/ is in parts: its root (the cycle, its values and the class table)
# depends on nothing above it; snapshot/ on the root; views/ (the wrappers that see every step)
# on the root and snapshot/; linux/ and windows/ on the root alone. sections/ sees only the root
# of query/ (never a platform or a file format), and so does inventory/; export/ sees inventory/;
# commands/ sees none of app/; app/ sees all; no program file includes tests/. A folder without
# a rule here fails until its arrows are written.
# Last, the check is run on a copy with a backward include planted, which it must catch.
set -u
cd "${MORAVEL_SOURCE_DIR:?}"
declare -A may_include=(
    [query]="query"
    [query/snapshot]="query query/snapshot"
    [query/views]="query query/snapshot query/views"
    [query/linux]="query query/linux"
    [query/windows]="query query/windows"
    [sections]="sections query"
    [inventory]="inventory query"
    [export]="export inventory"
    [commands]="commands"
    [resources]="resources"
    [app]="app commands sections inventory export query query/snapshot query/views query/linux query/windows resources"
)

# The program's folders below $1: those holding C or C++ sources, but for tests, benchmarks,
# scripts and builds.
source_folders() {
    (cd "$1" && find . -type f \( -name '*.h' -o -name '*.cpp' \) -not -path './tests/*' -not -path './bench/*' \
        -not -path './scripts/*' -not -path './build*' -not -path './.*' -printf '%h\n' | sed 's|^\./||' | sort -u)
}

# Prints every include against the arrows of the tree at $1; fails if there is one.
check() {
    local root=$1 status=0 folder file line target
    while read -r folder; do
        if [ -z "${may_include[$folder]+set}" ]; then
            echo "FAIL: $folder/ has no rule in tests/test_layering.sh: write down what it may include"
            status=1
            continue
        fi
        while IFS=: read -r file line target; do
            case " ${may_include[$folder]} " in
                *" $target "*) ;;
                *) echo "FAIL: $file:$line includes from $target/, which $folder/ must not depend on"; status=1 ;;
            esac
        done < <(cd "$root" && grep -noE '^#include "[a-z_/]+/[^/"]+"' "$folder"/*.h "$folder"/*.cpp 2>/dev/null |
                 sed -E 's|^([^:]+):([0-9]+):#include "([a-z_/]+)/[^/"]+"$|\1:\2:\3|')
    done < <(source_folders "$root")
    return $status
}

check . || exit 1
echo "ok: every #include follows the folder arrows"

planted=$(mktemp -d)
trap 'rm -rf "$planted"' EXIT
cp -r app commands sections inventory export query resources "$planted"/
echo '#include "query/views/recording.h"' >>"$planted/query/wmi_query.cpp"
if check "$planted" >"$planted/out"; then
    echo "FAIL: a backward include planted in query/wmi_query.cpp went unnoticed"
    exit 1
fi
grep -q 'query/wmi_query.cpp:[0-9]* includes from query/views/' "$planted/out" ||
    { cat "$planted/out"; echo "FAIL: the planted include was not the one named"; exit 1; }
echo "ok: a backward include planted in query/wmi_query.cpp is caught"
