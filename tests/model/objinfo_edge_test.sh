#!/usr/bin/env bash
# The inspector's program edge, run from the repository root with the program's path: standard
# output is one JSON object whatever the file; the reader's message and notices go to standard
# error as the reader words them, and into the object; a reader failure exits with 1.
set -u
tool=$1
f=tests/model/fixtures
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
expect() { # fixture, status, text in stdout, stderr
    out=$("$tool" "$f/$1" 2> /tmp/objinfo-edge-$$)
    status=$?
    err=$(cat /tmp/objinfo-edge-$$)
    # The whole expected text, lines together (grep -F would take each line as a pattern alone).
    [ "$status" == "$2" ] && [ "${out:0:1}${out: -1}" == "{}" ] && [[ "$out" == *"$3"* ]] &&
        [ "$err" == "$4" ] && return
    fail "$1: got $status [$out] [$err], want $2, stdout with [$3], stderr [$4]"
}
zero="glmReadOBJ() failed: $f/zero_index.obj:4: vertex index 0 is out of range (the file has 3 vertices)."
expect zero_index.obj 1 "\"error\": \"$zero\"" "$zero"
expect unknown_token.obj 1 '"error": "glmFirstPass(): Unknown token \"vp\"."' \
    'glmFirstPass(): Unknown token "vp".'
material='glmFindMaterial():  can'"'"'t find material \"steel\".'
orphan='glmVertexNormals(): vertex w/o a triangle'
expect missing_material.obj 0 "\"notices\": [
    \"$material\",
    \"$orphan\"" "${material//\\/}
$orphan"
out=$("$tool" --full "$f/cube_with_materials.obj") && [ "${out:0:1}${out: -1}" == "{}" ] &&
    grep -q '"winding": "ccw"' <<< "$out" || fail "cube_with_materials.obj: $out"
# The demo's lego as prepared, to the last bit of every number: its full report's sha256.
sum=$("$tool" --full data/lego.obj | sha256sum)
[ "${sum:0:16}" == "d0f64b8ae7a0b9de" ] || fail "lego.obj --full: sha256 ${sum:0:16}"
rm -f /tmp/objinfo-edge-$$
exit $failures
