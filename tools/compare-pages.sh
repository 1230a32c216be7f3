#!/usr/bin/env bash
# compare-pages.sh OLD_QUORVEL NEW_QUORVEL
# Prints every sample in data/samples/ through --pdf with both programs, for each analysis mode,
# several scales, pen widths and offsets, rasterises the pages at 100 dpi and counts the pixels
# that differ; a file neither program reads as data is skipped, with their reasons. Exits 1
# when any page differs or no page was compared.
# Needs pdftoppm (poppler-utils) and compare (imagemagick); each program reads the ndlist.txt
# beside it.
set -euo pipefail
old=$(realpath "$1")
new=$(realpath "$2")
root=$(realpath "$(dirname "$0")/..")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pages=0
differing=0
skipped=0
for sample in "$root"/data/samples/*; do
    # A file neither program reads as a data file (an observation file for the import) makes no
    # page. Each says why, so a broken set-up (no ndlist.txt beside a program) is not taken for
    # that.
    readable=0
    for side in old new; do
        program=${!side}
        if (cd "$(dirname "$program")" && "$program" --pdf "$work/probe.pdf" "$sample" \
            >/dev/null 2>"$work/$side.err"); then
            readable=1
        fi
    done
    if [ "$readable" = 0 ]; then
        echo "$(basename "$sample"): skipped, neither program reads it:"
        head -n 1 "$work/old.err" "$work/new.err"
        skipped=$((skipped + 1))
        continue
    fi
    for mode in 0 1 2; do
        for scale in 10:1000 0.1:100000 100:10000 1:10 1000:100000; do
            for widths in 3,2,5 5,4,1; do
                for offset in 0,0 12.5,-7; do
                    args=(--mode "$mode" --scale "$scale" --widths "$widths" --offset "$offset")
                    # A page only one of them makes is a difference.
                    refused=""
                    for side in old new; do
                        program=${!side}
                        rm -f "$work/$side.pdf" "$work/$side.png"
                        if (cd "$(dirname "$program")" &&
                            "$program" --pdf "$work/$side.pdf" "${args[@]}" "$sample" >/dev/null 2>&1); then
                            pdftoppm -r 100 -png -singlefile "$work/$side.pdf" "$work/$side"
                        else
                            refused="$refused $side"
                        fi
                    done
                    if [ -n "$refused" ]; then
                        count="refused by$refused,"
                    else
                        count=$(compare -metric AE "$work/old.png" "$work/new.png" /dev/null 2>&1 || true)
                    fi
                    pages=$((pages + 1))
                    if [ "$count" != 0 ]; then
                        differing=$((differing + 1))
                        echo "$(basename "$sample") ${args[*]}: $count (pixels that differ)"
                    fi
                done
            done
        done
    done
done
echo "$pages pages compared, $differing differ, $skipped samples skipped"
# Nothing compared is no evidence that nothing changed.
[ "$pages" -gt 0 ] && [ "$differing" = 0 ]
