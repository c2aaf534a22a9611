#!/usr/bin/env bash
# Dependencies run one way: math, model, toon, scene, ui, shell, app, view, tools. A folder
# includes nothing of a folder after it; platform/ (beside them) includes only itself. web/ (the
# page) stands beside app/ (the desktop's window): neither includes the other, and the viewer and
# the tools include neither. Run from the repository root.
set -u
order=(math model toon scene ui shell app view tools)
status=0
check() { # folder, forbidden folders...
    local folder=$1
    shift
    for other in "$@"; do
        if grep -rnE "#include \"$other/" "$folder" --include='*.cpp' --include='*.h'; then
            echo "layering: $folder/ includes $other/" >&2
            status=1
        fi
    done
}
for i in "${!order[@]}"; do
    check "${order[$i]}" "${order[@]:$((i + 1))}" $([ "$i" -lt 6 ] && echo web)
done
check platform "${order[@]}" web
check web app view tools
check app web
check view web
exit $status
