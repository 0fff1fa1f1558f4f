# Helpers of the bench/compare-*.sh scripts, which source this file.
now() { date +%s.%N; }
# Seconds since a time that now() gave.
since() { awk -v a="$(now)" -v b="$1" 'BEGIN {printf "%.3f", a - b}'; }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# The first number divided by the second.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", a / b}'; }
