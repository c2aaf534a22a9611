#!/usr/bin/env bash
# The inspector's program edge: reader failures print the reader's exact text on its stream and
# exit with status 1; a good file prints one JSON object and exits with 0.
# Usage: objinfo_edge_test.sh path/to/velmora-objinfo   (run from the repository root)
set -u
tool=$1
fixtures=tests/model/fixtures
failures=0

expect() { # name, expected status, expected stdout, expected stderr, arguments...
    local name=$1 status=$2 out=$3 err=$4
    shift 4
    local actualOut actualErr actualStatus
    actualOut=$("$tool" "$@" 2> /tmp/objinfo-edge-$$.err)
    actualStatus=$?
    actualErr=$(cat /tmp/objinfo-edge-$$.err)
    rm -f /tmp/objinfo-edge-$$.err
    if [ "$actualStatus" != "$status" ] || [ "$actualOut" != "$out" ] || [ "$actualErr" != "$err" ]; then
        echo "FAIL $name: status $actualStatus (want $status)"
        echo "  stdout: [$actualOut] want [$out]"
        echo "  stderr: [$actualErr] want [$err]"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

expect missing-file 1 "" "glmReadOBJ() failed: can't open data file \"no/such.obj\"." no/such.obj
expect directory 1 "" "glmReadOBJ() failed: can't open data file \"$fixtures/directory.obj\"." \
    "$fixtures/directory.obj"
expect zero-index 1 "" \
    "glmReadOBJ() failed: $fixtures/zero_index.obj:4: vertex index 0 is out of range (the file has 3 vertices)." \
    "$fixtures/zero_index.obj"
printf 'v 0 0 0\nvp 1\n' > /tmp/objinfo-edge-$$.obj
expect unknown-token 1 'glmFirstPass(): Unknown token "vp".' "" /tmp/objinfo-edge-$$.obj
rm -f /tmp/objinfo-edge-$$.obj

out=$("$tool" --full "$fixtures/cube_with_materials.obj")
status=$?
if [ $status != 0 ] || [ "${out:0:1}" != "{" ] || [ "${out: -1}" != "}" ] ||
    ! grep -q '"winding": "ccw"' <<< "$out"; then
    echo "FAIL good-file: status $status"
    failures=$((failures + 1))
else
    echo "ok   good-file"
fi
exit $failures
