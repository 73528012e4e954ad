#!/usr/bin/env bash
# Alternates Orvanta's window and a bare browser window, RUNS times each
# (default 15), and prints the median launch-to-mapped time of each and their
# ratio. Usage: bench/startup/compare.sh BUILD_DIR [RUNS]
# (under xvfb-run -a when there is no display).
set -euo pipefail
bin=${1:?usage: compare.sh BUILD_DIR [RUNS]}/bench/startup/bench_startup
runs=${2:-15}
run() { ORVANTA_LAUNCHED_NS=$(date +%s%N) "$bin" "$1" 2>/dev/null | tail -n 1; }
run --bare >/dev/null; run --window >/dev/null # warm the file cache
for ((i = 0; i < runs; i++)); do run --bare; run --window; done | awk '
    { n[$1]++; t[$1, n[$1]] = $2 }
    function median(k,   m, i, j, x) {
        m = n[k]
        for (i = 2; i <= m; i++) { x = t[k, i]; for (j = i - 1; j >= 1 && t[k, j] > x; j--) t[k, j + 1] = t[k, j]; t[k, j + 1] = x }
        return m % 2 ? t[k, (m + 1) / 2] : (t[k, m / 2] + t[k, m / 2 + 1]) / 2
    }
    END { b = median("bare"); w = median("window"); printf "bare %.0f ms, window %.0f ms, ratio %.2f (medians of %d runs each)\n", b, w, w / b, n["bare"] }'
