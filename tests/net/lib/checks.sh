# How a lab script reports: `check NAME EXPECTED ACTUAL` prints "ok" or
# "FAIL" with both values (and the first lines of the command's stderr when
# the script set last_err to its file) and counts failures; `py EXPR FILE`
# evaluates a Python expression over the JSON in FILE (d is the document,
# o is d or its first element when d is an array), "<not JSON ...>" when it
# cannot. Sourced after lab.sh; the script sets failures=0 first.

check() {
    if [ "$2" = "$3" ]; then
        echo "ok   $1"
    else
        echo "FAIL $1: expected [$2], got [$3]"
        failures=$((failures + 1))
        [ -n "${last_err:-}" ] && [ -s "$last_err" ] && sed 's/^/       stderr: /' "$last_err" | head -n 5
    fi
    last_err=
}

py() {
    local expr="$1"; shift
    /usr/bin/python3 - "$expr" "$@" <<'PY' 2>/dev/null || echo "<not JSON or no such field>"
import json, sys
d = json.load(open(sys.argv[2]))
o = d[0] if isinstance(d, list) and d else d
v = eval(sys.argv[1], {"d": d, "o": o})
print(v if isinstance(v, str) else json.dumps(v))
PY
}
