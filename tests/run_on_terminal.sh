#!/usr/bin/env bash
# Runs a command on a terminal of its own: under wine, a Windows program whose
# standard input is a terminal gets a console. The terminal's input is a pipe
# that stays open and silent until the command ends, because script(1) would
# turn the end of its input into a byte on the terminal, which the console
# takes as typed keys.
set -u
exec 3< <(sleep 600)
silent=$!
script -qec "$*" /dev/null <&3
status=$?
kill "$silent" 2>/dev/null
exit $status
