#!/usr/bin/env bash
# The inspector's program edge, run from the repository root with the program's path: a reader
# failure prints the reader's exact text on its stream and exits with 1; a good file prints one
# JSON object and exits with 0.
set -u
tool=$1
f=tests/model/fixtures
failures=0
expect() { # fixture, status, stdout, stderr
    out=$("$tool" "$f/$1" 2> /tmp/objinfo-edge-$$)
    got="$? [$out] [$(cat /tmp/objinfo-edge-$$)]"
    [ "$got" == "$2 [$3] [$4]" ] && return
    echo "FAIL $1: got $got, want $2 [$3] [$4]"
    failures=$((failures + 1))
}
expect zero_index.obj 1 "" "glmReadOBJ() failed: $f/zero_index.obj:4: vertex index 0 is out of \
range (the file has 3 vertices)."
expect unknown_token.obj 1 'glmFirstPass(): Unknown token "vp".' ""
out=$("$tool" --full "$f/cube_with_materials.obj")
if [ $? != 0 ] || [ "${out:0:1}${out: -1}" != "{}" ] || ! grep -q '"winding": "ccw"' <<< "$out"; then
    echo "FAIL cube_with_materials.obj: $out"
    failures=$((failures + 1))
fi
rm -f /tmp/objinfo-edge-$$
exit $failures
