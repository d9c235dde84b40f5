#!/usr/bin/env bash
# Fails when a static library defines an external symbol that the project
# does not mean to export. Allowed are the C names of the public API (every
# function that the installed headers declare, and bgi.h's six documented
# globals), the snake
# engine's own names, and C++ names in the namespaces bgi and win32 or of the
# standard library (their typeinfo and vtables included). Anything else, a
# stray C name above all, could collide with a program's own names.
#
# With SHARED=1 the libraries are shared ones, whose dynamic symbols must be
# the C names of the API exactly: nothing else, and none of them missing.
#
# Usage: exported_symbols.sh HEADER... -- LIBRARY...
#   NM and CXXFILT name the tools (default nm and c++filt).
set -euo pipefail
export LC_ALL=C
nm=${NM:-nm}
cxxfilt=${CXXFILT:-c++filt}
usage() { echo "usage: $0 HEADER... -- LIBRARY..." >&2; exit 2; }
headers=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do headers+=("$1"); shift; done
[ $# -ge 2 ] && [ ${#headers[@]} -ge 1 ] || usage
shift

# Function declarations of the headers: "type name(...);" at the start of a
# line; the functions they define themselves (static) are no library's.
api=$(grep -hv '^\(static\|typedef\) ' "${headers[@]}" |
    sed -n 's/^[a-z][^(]*[ *]\([A-Za-z_0-9][A-Za-z_0-9]*\)(.*$/\1/p' | sort -u)
grep -qx initgraph <<<"$api" || { echo "no function declarations found in ${headers[*]}" >&2; exit 2; }
globals="bgiemu_handle_redraw bgiemu_default_mode egerx egery balgomb jobbgomb"
engine="insert turnDetection moveSnake collisionDetection getPickup drawSnake drawSegment dirMatrix"
c_names=$(printf '%s\n' $api $globals $engine)
cxx_names=$(printf '%s\n' $engine)

status=0
# Lists names under "LIB VERB N WHAT:", indented, and fails the check; an
# empty list says nothing.
report() { # LIB VERB WHAT LIST
    [ -n "$4" ] || return 0
    echo "$1 $2 $(wc -l <<<"$4") $3:"
    printf '%s\n' "$4" | sed 's/^/  /'
    status=1
}

if [ -n "${SHARED:-}" ]; then
    expected=$(printf '%s\n' $api $globals | sort -u)
    for lib in "$@"; do
        # AddressSanitizer's indicators beside globals, as below.
        symbols=$("$nm" -D --defined-only "$lib" | awk 'NF == 3 && $3 !~ /^__odr_asan\./ { print $3 }' |
            sort -u)
        extra=$(comm -23 <(printf '%s\n' "$symbols") <(printf '%s\n' "$expected"))
        missing=$(comm -13 <(printf '%s\n' "$symbols") <(printf '%s\n' "$expected"))
        report "$lib" exports "names that are not the API's" "$extra"
        report "$lib" "does not export" "names of the API" "$missing"
    done
    exit $status
fi
for lib in "$@"; do
    symbols=$("$nm" -g --defined-only "$lib" | awk 'NF == 3 { print $3 }' | sort -u)
    [ -n "$symbols" ] || { echo "$lib: no symbols" >&2; exit 2; }
    # Each symbol as "mangled<TAB>demangled, without parameters".
    strays=$(paste <(printf '%s\n' "$symbols") <(printf '%s\n' "$symbols" | "$cxxfilt" -p) |
        awk -F '\t' -v c_names="$c_names" -v cxx_names="$cxx_names" '
        BEGIN {
            n = split(c_names, a, "\n"); for (i = 1; i <= n; i++) c_ok[a[i]] = 1
            n = split(cxx_names, a, "\n"); for (i = 1; i <= n; i++) cxx_ok[a[i]] = 1
        }
        # Splits a demangled name into the namespace it lives in ("" for the
        # global one) and, for a global name, its base name. What typeinfo,
        # vtables, guard variables and thunks are "for" counts.
        function split_name(s,    i, c, depth, start) {
            while (match(s, /^(typeinfo name for |typeinfo for |vtable for |VTT for |construction vtable for |guard variable for |non-virtual thunk to |virtual thunk to |covariant return thunk to |reference temporary #[0-9]+ for )/))
                s = substr(s, RLENGTH + 1)
            depth = 0; start = 1
            for (i = 1; i <= length(s); i++) {
                c = substr(s, i, 1)
                if (c == "<" || c == "(" || c == "[") depth++
                else if (c == ">" || c == ")" || c == "]") depth--
                else if (depth == 0 && c == " ") start = i + 1
                else if (depth == 0 && substr(s, i, 2) == "::") {
                    ns = substr(s, start, i - start); base = ""
                    return
                }
            }
            ns = ""; base = substr(s, start); sub(/<.*/, "", base)
        }
        {
            mangled = $1; name = $2
            # AddressSanitizer puts an indicator beside each global it
            # instruments; the global itself is judged.
            if (mangled ~ /^__odr_asan\./) next
            # The placement forms of new and delete, which <new> defines inline.
            if (mangled ~ /^_Zn[wa][jm]Pv$/ || mangled ~ /^_Zd[la]PvS_$/) next
            if (mangled !~ /^_Z/) {
                # The C++ runtime reference that exception tables of every
                # object carry.
                if (!(mangled in c_ok) && mangled !~ /^DW\.ref\./) print name
                next
            }
            split_name(name)
            if (ns == "bgi" || ns == "win32" || ns == "std" || ns == "__gnu_cxx") next
            if (ns == "" && (base in cxx_ok)) next
            print name "  (" mangled ")"
        }' | sort)
    report "$lib" exports "names that are not meant to be external" "$strays"
done
exit $status
