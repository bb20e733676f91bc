#!/bin/sh
# quillon-bands.sh: renders one picture as bands with GNU parallel (here or over ssh) and joins them into a PNG.
#
# usage: quillon-bands.sh VIEW SIZE BANDS OUT.png [SUPERSAMPLE [PARALLEL-OPTIONS...]]
#   VIEW         a view file (.qview) or a PNG written by Quillon
#   SIZE         WxH of the picture, e.g. 16384x12288
#   BANDS        how many bands (independent quillon-render --rows processes)
#   SUPERSAMPLE  1 (default) to 8: the bands hold the values of the N*W x N*H grid
#   PARALLEL-OPTIONS  passed to parallel, e.g. --sshlogin 8/host1,8/host2 (each host
#                needs quillon-render on its PATH; the view goes there and the
#                bands come back through parallel's --transferfile and --return)
# QUILLON_RENDER names the renderer (default: quillon-render on the PATH).
set -eu

if [ $# -lt 4 ]; then
    sed -n '4,14p' "$0" >&2
    exit 2
fi
view=$1 size=$2 bands=$3 out=$4
supersample=${5:-1}
[ $# -ge 5 ] && shift 5 || shift 4
render=${QUILLON_RENDER:-quillon-render}

width=${size%x*} height=${size#*x}
case "$width$height$bands$supersample" in
    *[!0-9]*|'') echo "quillon-bands.sh: SIZE must be WxH and BANDS, SUPERSAMPLE whole numbers" >&2; exit 2 ;;
esac
rows=$((height * supersample))
grid="$((width * supersample))x$rows"
if [ "$bands" -lt 1 ] || [ "$bands" -gt "$rows" ]; then
    echo "quillon-bands.sh: BANDS must be from 1 to $rows" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-bands.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -- "$view" "$work/view"

# Band k holds rows k*rows/bands ... (k+1)*rows/bands - 1: the bands tile the
# picture in order, so their concatenation is the whole.
k=0
while [ $k -lt "$bands" ]; do
    echo "$k $((k * rows / bands)):$(((k + 1) * rows / bands))"
    k=$((k + 1))
done >"$work/bands"

# Files travel only when a remote host takes part.
transfer=""
case " $* " in
    *" --sshlogin"*|*" -S"*|*" --slf"*|*" --sshloginfile"*) transfer="--transferfile view --return band-{1}.raw --cleanup" ;;
esac
# shellcheck disable=SC2086
(cd "$work" && parallel --colsep ' ' --halt now,fail=1 $transfer "$@" \
    "$render" --open view --size "$grid" --supersample 1 --rows '{2}' --raw 'band-{1}.raw' --quiet ">/dev/null" <bands)

k=0
while [ $k -lt "$bands" ]; do
    cat "$work/band-$k.raw"
    rm -f "$work/band-$k.raw"
    k=$((k + 1))
done >"$work/picture.raw"

"$render" --open "$work/view" --size "$size" --supersample "$supersample" --from-raw "$work/picture.raw" \
    --png "$out" --quiet
