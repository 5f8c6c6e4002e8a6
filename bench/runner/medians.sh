# Measured runs of several tools and their medians, for the runner comparisons. Source it.

# Runs each tool's run_<tool> function $runs times in turn, printing each run and keeping its
# "wall cpu peak_kB" line in the associative array `results`.
declare -A results
run_tools() {
    local i tool line
    for ((i = 1; i <= runs; i++)); do
        for tool in "$@"; do
            line=$("run_$tool")
            results[$tool]+="$line"$'\n'
            printf '%-8s run %d: wall %s s, cpu %s s, peak %s kB\n' "$tool" "$i" $line
        done
    done
}
# The median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# A table of the median wall time, CPU time and peak memory of each tool's runs, taken from the
# associative array `results` (one "wall cpu peak_kB" line per run). Arguments: the label column's
# width, then tool=label pairs.
print_medians() {
    local width=$1 pair tool label wall cpu peak
    shift
    echo
    printf "%-${width}s %10s %10s %12s\n" "median of $runs runs" "wall s" "cpu s" "peak MB"
    for pair in "$@"; do
        tool=${pair%%=*}
        label=${pair#*=}
        wall=$(cut -d' ' -f1 <<<"${results[$tool]}" | grep . | median)
        cpu=$(cut -d' ' -f2 <<<"${results[$tool]}" | grep . | median)
        peak=$(cut -d' ' -f3 <<<"${results[$tool]}" | grep . | median)
        printf "%-${width}s %10s %10s %12.1f\n" "$label" "$wall" "$cpu" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')"
    done
}
