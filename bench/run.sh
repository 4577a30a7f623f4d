#!/usr/bin/env bash
# Throughput benchmark of the mirror on large generated programs.
#
#   bash bench/run.sh [--1g] [--sizes 10M,100M] [--styles free,fixed] [--repeat 3]
#                     [--micro] [--no-build] [--keep] [--mirror PATH] [--against PATH] [--svg]
#                     [--verify] [--check]
#
# For every program style and size it generates the program (deterministic,
# under build/bench, never committed), then times on the same file:
#   cat SRC > DST                       a plain copy
#   LC_ALL=C sed 's/Y/Y-/' SRC > DST    a trivial per-line edit
#   the mirror in modes 1, 2 and 3      ncmirror when built, else bench's ncm_mirror_file
# and prints MB/s (1 MB = 2^20 bytes, best of --repeat runs), the speed as
# a multiple of cat's and of sed's, the peak resident memory (/usr/bin/time -v)
# and how time grows with size (1.00 = linear).
# --1g adds a 1 GB program; --micro also runs the Google Benchmark
# micro-benchmarks; --mirror times another ncmirror binary (an older build,
# for before/after figures); --against PATH times that ncmirror too, in the
# same run, as rows old1..old3 with their ratio to the mirror under test;
# --svg times the mirror with --svg PICTURE too, as rows svg1..svg3 with
# their time as a multiple of the plain mirror's and the picture's size;
# --verify and --check time ncmirror --verify (rows vfy1..vfy3) and
# ncmirror --check (rows chk1..chk3, which write nothing) the same way.
# Benchmarks print figures; nothing here fails on time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

sizes="10M,100M"
styles="free,fixed"
repeat=3
micro=0
build=1
keep=0
mirror=""
against=""
svg=0
verify=0
check=0
while [ $# -gt 0 ]; do
  case "$1" in
    --1g) sizes="$sizes,1G" ;;
    --sizes) sizes="$2"; shift ;;
    --styles) styles="$2"; shift ;;
    --repeat) repeat="$2"; shift ;;
    --micro) micro=1 ;;
    --no-build) build=0 ;;
    --keep) keep=1 ;;
    --mirror) mirror="$2"; shift ;;
    --against) against="$2"; shift ;;
    --svg) svg=1 ;;
    --verify) verify=1 ;;
    --check) check=1 ;;
    -h|--help) sed -n '2,24p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench/run.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done

for tool in cmake /usr/bin/time sed awk; do
  command -v "$tool" >/dev/null || { echo "bench/run.sh: $tool is missing; run: bash scripts/setup.sh" >&2; exit 1; }
done

bin=build/native
if [ "$build" = 1 ]; then
  cmake --preset native >/dev/null
  cmake --build --preset native >/dev/null
fi
gen=$bin/bench/ncm_genprog
[ -x "$gen" ] || { echo "bench/run.sh: $gen is not built" >&2; exit 1; }

# The mirror under test: the command-line tool when it is built, else the
# benchmark's own driver of the engine. Both write DST themselves.
# mirror_argv SRC DST MODE sets argv to the command line.
if [ -n "$mirror" ]; then
  [ -x "$mirror" ] || { echo "bench/run.sh: $mirror is not an executable" >&2; exit 1; }
else
  mirror=$bin/cli/ncmirror
fi
if [ -x "$mirror" ]; then
  mirror_name="ncmirror ($mirror)"
  mirror_argv() { argv=("$mirror" --mode "$3" --output "$2" --force --quiet "$1"); }
else
  mirror_name="ncm_mirror_file (engine driver; ncmirror is not built)"
  mirror_argv() { argv=("$bin/bench/ncm_mirror_file" "$1" "$2" "$3"); }
fi
if [ "$svg$verify$check" != 000 ] && [ ! -x "$mirror" ]; then
  echo "bench/run.sh: --svg, --verify and --check need ncmirror ($mirror is not built)" >&2
  exit 1
fi

if [ -n "$against" ]; then
  [ -x "$against" ] || { echo "bench/run.sh: $against is not an executable" >&2; exit 1; }
fi

data=build/bench
mkdir -p "$data"
dst="$data/out.nc"
timing="$data/time.txt"
trap 'rm -f "$dst" "$dst.svg" "$timing"' EXIT

# run_case NAME SRC: runs case NAME on SRC --repeat times (five times as
# often on files under 64 MB, whose runs take a few hundredths of a second
# and scatter most); sets best (seconds) and rss (KB, from one more run
# under /usr/bin/time -v).
run_case() {
  local name=$1 src=$2 i t0 t1 t runs=$repeat
  [ "$(stat -c %s "$src")" -lt $((64 << 20)) ] && runs=$((repeat * 5))
  best=""
  for ((i = 0; i < runs; i++)); do
    rm -f "$dst"
    t0=$EPOCHREALTIME
    case "$name" in
      cat) cat "$src" >"$dst" ;;
      sed) LC_ALL=C sed 's/Y/Y-/' "$src" >"$dst" ;;
      mode*) mirror_argv "$src" "$dst" "${name#mode}"; "${argv[@]}" >/dev/null ;;
      old*) "$against" --mode "${name#old}" --output "$dst" --force --quiet "$src" >/dev/null ;;
      svg*) "$mirror" --mode "${name#svg}" --output "$dst" --force --quiet --svg "$dst.svg" "$src" >/dev/null ;;
      vfy*) "$mirror" --mode "${name#vfy}" --output "$dst" --force --quiet --verify "$src" >/dev/null ;;
      chk*) "$mirror" --mode "${name#chk}" --quiet --check "$src" >/dev/null || true ;;
    esac
    t1=$EPOCHREALTIME
    t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }')
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  # Peak memory from one more run under /usr/bin/time -v.
  rm -f "$dst"
  case "$name" in
    cat) /usr/bin/time -v -o "$timing" cat "$src" >"$dst" ;;
    sed) LC_ALL=C /usr/bin/time -v -o "$timing" sed 's/Y/Y-/' "$src" >"$dst" ;;
    mode*) mirror_argv "$src" "$dst" "${name#mode}"; /usr/bin/time -v -o "$timing" "${argv[@]}" >/dev/null ;;
    old*) /usr/bin/time -v -o "$timing" "$against" --mode "${name#old}" --output "$dst" --force --quiet "$src" >/dev/null ;;
    svg*) /usr/bin/time -v -o "$timing" "$mirror" --mode "${name#svg}" --output "$dst" --force --quiet \
            --svg "$dst.svg" "$src" >/dev/null ;;
    vfy*) /usr/bin/time -v -o "$timing" "$mirror" --mode "${name#vfy}" --output "$dst" --force --quiet \
            --verify "$src" >/dev/null ;;
    chk*) /usr/bin/time -v -o "$timing" "$mirror" --mode "${name#chk}" --quiet --check "$src" >/dev/null || true ;;
  esac
  rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$timing")
}

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
echo "NC Mirror throughput benchmark"
echo "machine: ${cpu:-unknown CPU}, $(nproc) cores, $(uname -sr), $(awk '/MemTotal/ { printf "%.0f GB RAM", $2 / 1048576 }' /proc/meminfo)"
echo "mirror:  $mirror_name; best of $repeat runs ($((repeat * 5)) under 64 MB); files in the page cache; 1 MB = 2^20 bytes"
[ -n "$against" ] && echo "against: $against (rows old1..old3; 'x new' = its speed as a multiple of the mirror's)"
echo "load before: $(cat /proc/loadavg) (1, 5, 15 min averages; other work on this machine slows the figures)"
echo

results=$(mktemp)
trap 'rm -f "$dst" "$dst.svg" "$timing" "$results"' EXIT
IFS=, read -r -a size_list <<<"$sizes"
IFS=, read -r -a style_list <<<"$styles"
printf '%-6s %6s  %-6s %9s %9s %8s %8s %10s\n' style size run seconds MB/s "x cat" "x sed" "peak RSS"
for style in "${style_list[@]}"; do
  for size in "${size_list[@]}"; do
    src="$data/$style-$size.nc"
    if [ ! -f "$src" ] || [ "$gen" -nt "$src" ]; then
      "$gen" --style "$style" --size "$size" --seed 1 "$src"
    fi
    bytes=$(stat -c %s "$src")
    cat "$src" >/dev/null  # into the page cache
    cat_mbs="" sed_mbs=""
    names=(cat sed mode1 mode2 mode3)
    [ -n "$against" ] && names+=(old1 old2 old3)
    [ "$svg" = 1 ] && names+=(svg1 svg2 svg3)
    [ "$verify" = 1 ] && names+=(vfy1 vfy2 vfy3)
    [ "$check" = 1 ] && names+=(chk1 chk2 chk3)
    declare -A mode_mbs=()
    for name in "${names[@]}"; do
      run_case "$name" "$src"
      mbs=$(awk -v b="$bytes" -v t="$best" 'BEGIN { printf "%.1f", b / 1048576 / t }')
      [ "$name" = cat ] && cat_mbs=$mbs
      [ "$name" = sed ] && sed_mbs=$mbs
      xcat=$(awk -v m="$mbs" -v c="$cat_mbs" 'BEGIN { printf "%.2f", m / c }')
      xsed=-
      [ -n "$sed_mbs" ] && xsed=$(awk -v m="$mbs" -v s="$sed_mbs" 'BEGIN { printf "%.2f", m / s }')
      [[ $name == mode* ]] && mode_mbs[${name#mode}]=$mbs
      xnew=""
      [[ $name == old* ]] && xnew=$(awk -v m="$mbs" -v n="${mode_mbs[${name#old}]}" 'BEGIN { printf "  x new %.2f", m / n }')
      [[ $name == vfy* || $name == chk* ]] && xnew=$(awk -v m="$mbs" -v n="${mode_mbs[${name:3}]}" \
        'BEGIN { printf "  time x mirror %.2f", n / m }')
      [[ $name == svg* ]] && xnew=$(awk -v m="$mbs" -v n="${mode_mbs[${name#svg}]}" -v p="$(stat -c %s "$dst.svg")" \
        'BEGIN { printf "  time x mirror %.2f, picture %.0f KB", n / m, p / 1024 }')
      printf '%-6s %6s  %-6s %9.3f %9s %8s %8s %7.1f MB%s\n' "$style" "$size" "$name" "$best" "$mbs" "$xcat" "$xsed" \
        "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" "$xnew"
      echo "$style $size $bytes $name $best" >>"$results"
    done
  done
done

# Scaling: seconds per byte at each size against the first size (1.00 = linear).
if [ ${#size_list[@]} -gt 1 ]; then
  echo
  echo "scaling (time per byte relative to ${size_list[0]}; 1.00 = linear):"
  awk -v first="${size_list[0]}" '
    { key = $1 " " $4; perbyte = $5 / $3
      if ($2 == first) base[key] = perbyte
      else if (key in base) line[key] = line[key] sprintf("  %s %.2f", $2, perbyte / base[key])
      order[key] = ++n }
    END { for (k in line) printf "  %-12s%s\n", k, line[k] }' "$results" | sort
fi

echo
echo "load after:  $(cat /proc/loadavg)"

if [ "$micro" = 1 ]; then
  echo
  "$bin/bench/ncm_microbench" --benchmark_min_time=0.2
fi

if [ "$keep" = 0 ]; then
  rm -f "$data"/*-1G.nc
fi
