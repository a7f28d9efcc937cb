#!/bin/sh
# Times `basis wordlist build` of a large pairs file: 300,000 pairs of
# distinct random words (3 to 9 lower-case letters, targets of 6) in random
# order, made with a fixed seed, so every run builds the same file. Far more
# pairs than the indexes' 2-byte links reach, so the build is refused (exit
# status 1) after finding which pairs do not fit; the time is that of the
# whole refusal, reading the file included.
#
#   bench/wordlist_build.sh <basis program> [pairs] [runs]
#
# The generator is a Lehmer generator (16807, modulo 2^31 - 1): its products
# stay below 2^46, exact in any awk's doubles, so mawk and gawk make the
# same file. Prints the wall seconds of each run and the best.
set -eu
basis=${1:?usage: wordlist_build.sh <basis program> [pairs] [runs]}
pairs=${2:-300000}
runs=${3:-3}
work=$(mktemp -d)
trap '[ -n "${KEEP_PAIRS:-}" ] && cp "$work/pairs.tsv" "$KEEP_PAIRS"; rm -rf "$work"' EXIT

awk -v pairs="$pairs" '
function next_random() { seed = (seed * 16807) % 2147483647; return seed }
function word(length_, w, k) {
    w = ""
    for (k = 0; k < length_; ++k) w = w substr("abcdefghijklmnopqrstuvwxyz", next_random() % 26 + 1, 1)
    return w
}
BEGIN {
    seed = 20261207
    n = 0
    while (n < pairs) {
        w = word(3 + next_random() % 7)
        if (w in seen) continue
        seen[w] = 1
        source[n++] = w
    }
    # Fisher-Yates over the words as made.
    for (i = n - 1; i > 0; --i) {
        j = next_random() % (i + 1)
        t = source[i]; source[i] = source[j]; source[j] = t
    }
    for (i = 0; i < n; ++i) printf "%s\t%s\n", source[i], word(6)
}' > "$work/pairs.tsv"

echo "pairs file: $(wc -l < "$work/pairs.tsv") lines, $(wc -c < "$work/pairs.tsv") bytes, md5 $(md5sum < "$work/pairs.tsv" | cut -c1-32)"
best=""
run=1
while [ "$run" -le "$runs" ]; do
    rm -f "$work/list.bwl"
    start=$(date +%s.%N)
    set +e
    "$basis" wordlist build "$work/pairs.tsv" "$work/list.bwl" > "$work/out.txt" 2> "$work/err.txt"
    status=$?
    set -e
    stop=$(date +%s.%N)
    seconds=$(echo "$stop - $start" | awk '{ printf "%.3f", $1 - $3 }')
    echo "run $run: ${seconds} s, exit status $status, $(wc -l < "$work/err.txt") lines on standard error"
    if [ -z "$best" ] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$seconds; fi
    run=$((run + 1))
done
tail -n 1 "$work/err.txt"
echo "best: ${best} s"
