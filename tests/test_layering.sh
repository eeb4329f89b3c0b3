#!/usr/bin/env bash
# The folders depend one way, in what they include and in what their libraries link. Includes
# name their folder from the root, so an arrow the wrong way shows in its #include; each folder is
# one static library (CMakeLists.txt), so an arrow the wrong way also shows in the link graph
# CMake writes. A folder without a rule here fails until its arrows are written.
#
# Bottom up: text/ and io/ see nothing of the program; query/ is the contract (the cycle, its
# values, the class table) and sees nothing above it; query/snapshot/ is the record format,
# query/views/ the wrappers that see every step; providers/ implement the contract (a Linux
# reader's parsers take bytes and see only other parsers); sections/ and inventory/ see only the
# contract, never a provider or a file format; report/, export/ and compare/ see what they write,
# details/ the comparison's items it groups for people;
# cli/ and app/ are the two programs; commands/ sees none of app/.
# Last, the check is run on a copy with a backward include and a backward link planted, which it
# must catch.
set -u
cd "${MORAVEL_SOURCE_DIR:?}"
linux=(providers/linux/parsers providers/linux/system providers/linux/classes providers/linux)
declare -A may_include=(
    [text]="text"
    [io]="io text"
    [query]="query"
    [query/snapshot]="query query/snapshot io"
    [query/views]="query query/snapshot query/views"
    [providers/linux/parsers]="query providers/linux/parsers"
    [providers/linux/system]="query io providers/linux/parsers providers/linux/system"
    [providers/linux/classes]="query io providers/linux/parsers providers/linux/system providers/linux/classes"
    [providers/linux]="query io providers ${linux[*]}"
    [providers/windows]="query io text providers providers/windows"
    [providers]="providers ${linux[*]} providers/windows query query/snapshot io"
    [sections]="sections query"
    [report]="report sections text"
    [inventory]="inventory query"
    [export]="export inventory io text"
    [compare]="compare report sections inventory query query/snapshot query/views text"
    [details]="details compare inventory report text"
    [cli]="cli compare details export report sections inventory providers query query/snapshot query/views io text"
    [commands]="commands"
    [resources]="resources"
    [app]="app commands resources cli compare details export report sections inventory providers providers/windows query query/snapshot query/views io text"
)
# Each library and the folders it is built from.
declare -A folders_of=(
    [moravel_text]="text" [moravel_io]="io" [moravel_query]="query" [moravel_snapshot]="query/snapshot"
    [moravel_views]="query/views" [moravel_platform]="${linux[*]} providers/windows" [moravel_providers]="providers"
    [moravel_sections]="sections" [moravel_report]="report" [moravel_inventory]="inventory"
    [moravel_export]="export" [moravel_compare]="compare" [moravel_details]="details" [moravel_cli]="cli" [moravel_commands]="commands"
    [moravel_app]="app resources"
)

# The program's folders below $1: those holding C or C++ sources, but for tests, benchmarks,
# scripts and builds.
source_folders() {
    (cd "$1" && find . -type f \( -name '*.h' -o -name '*.cpp' \) -not -path './tests/*' -not -path './bench/*' \
        -not -path './scripts/*' -not -path './build*' -not -path './.*' -printf '%h\n' | sed 's|^\./||' | sort -u)
}

# Prints every include against the arrows of the tree at $1; fails if there is one.
check_includes() {
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

# Whether library $1 may link library $2: one of $2's folders is one that one of $1's may include.
may_link() {
    local from to
    for from in ${folders_of[$1]}; do
        for to in ${folders_of[$2]}; do
            case " ${may_include[$from]:-} " in *" $to "*) return 0 ;; esac
        done
    done
    return 1
}

# Configures the tree at $1 in $2 and checks every link between the program's libraries.
check_links() {
    local root=$1 build=$2 status=0 from to
    mkdir -p "$build"
    cmake -S "$root" -B "$build" -DMORAVEL_TESTS=OFF --graphviz="$build/links.dot" >"$build/configure.log" 2>&1 ||
        { tail -n 20 "$build/configure.log"; echo "FAIL: the tree at $root does not configure"; return 1; }
    while read -r from to; do
        [ -n "${folders_of[$from]+set}" ] && [ -n "${folders_of[$to]+set}" ] || continue
        may_link "$from" "$to" || { echo "FAIL: $from links $to, which its folders must not depend on"; status=1; }
    done < <(sed -nE 's|^\s*"node[0-9]+" -> "node[0-9]+".*// (moravel_[a-z_]+) -> (moravel_[a-z_]+)$|\1 \2|p' "$build/links.dot")
    [ -s "$build/links.dot" ] || { echo "FAIL: CMake wrote no link graph"; status=1; }
    return $status
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
check_includes . || exit 1
echo "ok: every #include follows the folder arrows"
check_links . "$work/build" || exit 1
echo "ok: every library links along the folder arrows"

planted="$work/planted"
mkdir "$planted"
git ls-files -z | grep -zv '^tests/data/' | xargs -0 cp --parents -t "$planted"
echo '#include "query/views/recording.h"' >>"$planted/query/wmi_query.cpp"
if check_includes "$planted" >"$work/out"; then
    echo "FAIL: a backward include planted in query/wmi_query.cpp went unnoticed"
    exit 1
fi
grep -q 'query/wmi_query.cpp:[0-9]* includes from query/views/' "$work/out" ||
    { cat "$work/out"; echo "FAIL: the planted include was not the one named"; exit 1; }
echo "ok: a backward include planted in query/wmi_query.cpp is caught"

echo 'target_link_libraries(moravel_sections PUBLIC moravel_report)' >>"$planted/CMakeLists.txt"
if check_links "$planted" "$work/planted-build" >"$work/out"; then
    echo "FAIL: a backward link planted in CMakeLists.txt went unnoticed"
    exit 1
fi
grep -q 'moravel_sections links moravel_report' "$work/out" ||
    { cat "$work/out"; echo "FAIL: the planted link was not the one named"; exit 1; }
echo "ok: a backward link planted in CMakeLists.txt is caught"
