#!/bin/sh
# Runs one test with a data folder of its own that is gone afterwards, so that no test can
# touch a real user's data folder or another test's.
home=$(mktemp -d "${TMPDIR:-/tmp}/tallyhawk-test.XXXXXX") || exit 1
TALLYHAWK_HOME="$home" "$@"
status=$?
rm -rf "$home"
exit $status
