#!/usr/bin/env bash
# The folders depend one way: app/ on commands/, sections/, export/, inventory/, query/ and
# resources/; commands/ on none of app/; sections/ and inventory/ on query/; export/ on inventory/;
# query/ on nothing above it; and no program file on tests/.
# Includes name their folder from the root, so an arrow the wrong way shows in its #include.
set -u
cd "${MORAVEL_SOURCE_DIR:?}"
declare -A may_include=(
    [query]="query"
    [sections]="sections query"
    [inventory]="inventory query"
    [export]="export inventory"
    [commands]="commands"
    [resources]="resources"
    [app]="app commands sections inventory export query resources"
)
status=0
for folder in "${!may_include[@]}"; do
    while IFS=: read -r file line target; do
        case " ${may_include[$folder]} " in
            *" $target "*) ;;
            *) echo "FAIL: $file:$line includes from $target/, which $folder/ must not depend on"; status=1 ;;
        esac
    done < <(grep -rnoE '^#include "[a-z_]+/' --include='*.h' --include='*.cpp' "$folder" |
             sed -E 's/:#include "([a-z_]+)\/$/:\1/')
done
[ $status -eq 0 ] && echo "ok: every #include follows the folder arrows"
exit $status
