# Compares the Linux and the Windows dumps of `basis locale dump` (lines
# "LCID<TAB>what<TAB>value") with the known differences. Run as
#   awk -F'\t' -f compare.awk known-differences.txt linux.txt windows.txt
# A known difference is "LCIDS<TAB>pattern<TAB>reason": LCIDS * for every
# locale or a comma-separated list, pattern an extended regular expression
# matched against the whole "what" field. A difference no rule explains, or
# a line only one dump has, fails the check; a rule that explains nothing
# is reported as unused (the Wine version may have changed).
BEGIN { FS = "\t"; phase = 0 }
FNR == 1 { ++phase }
phase == 1 {
    if ($0 ~ /^#/ || $0 ~ /^[ \t]*$/) next
    rules++; ruleLcids[rules] = $1; rulePattern[rules] = "^(" $2 ")$"; ruleReason[rules] = $3
    next
}
phase == 2 { linux[$1 FS $2] = $3; order[++lines] = $1 FS $2; next }
phase == 3 { windows[$1 FS $2] = $3; if (!(($1 FS $2) in linux)) onlyWindows[$1 FS $2] = 1; next }
function listed(lcid, what,    r) {
    for (r = 1; r <= rules; r++) {
        if (ruleLcids[r] != "*" && ("," ruleLcids[r] ",") !~ ("," lcid ",")) continue
        if (what ~ rulePattern[r]) { used[r]++; return r }
    }
    return 0
}
END {
    failed = 0
    for (i = 1; i <= lines; i++) {
        key = order[i]; split(key, part, FS); lcid = part[1]; what = part[2]
        compared[lcid]++
        if (!(key in windows)) { print "only in the Linux dump: " lcid " " what; failed = 1; continue }
        if (linux[key] == windows[key]) continue
        differences[lcid]++
        if (listed(lcid, what)) { known[lcid]++; continue }
        print "unlisted difference: " lcid " " what ": linux \"" linux[key] "\", windows \"" windows[key] "\""
        failed = 1
    }
    for (key in onlyWindows) { print "only in the Windows dump: " key; failed = 1 }
    printf "%-6s %9s %12s %6s\n", "LCID", "compared", "differences", "listed"
    for (i = 1; i <= lines; i++) {
        split(order[i], part, FS); lcid = part[1]
        if (lcid in shown) continue
        shown[lcid] = 1
        printf "%-6s %9d %12d %6d\n", lcid, compared[lcid], differences[lcid], known[lcid]
    }
    for (r = 1; r <= rules; r++) if (!used[r]) print "unused known difference: " ruleLcids[r] " " rulePattern[r]
    if (failed) { print "locale parity: FAILED (differences not in the known-differences file)"; exit 1 }
    print "locale parity: every difference is a known one"
}
