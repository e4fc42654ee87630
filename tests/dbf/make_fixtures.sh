#!/bin/sh
# Writes the dBase III tables the tests read, with shapelib's dbfcreate and
# dbfadd, so that the files come from a writer other than the compiler's
# reader.  dbfcreate knows only character and numeric fields: a logical
# field is created as a character field of width 1 holding T or F, and its
# type letter in the descriptor is then changed to L (byte 11 of the
# field's 32-byte descriptor, which starts at 32 + 32 * index).
#
# usage: make_fixtures.sh OUTDIR     (the committed files: tests/dbf)
set -eu

out=${1:?usage: make_fixtures.sh OUTDIR}
for tool in dbfcreate dbfadd; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "make_fixtures.sh: $tool not found (install the shapelib package)" >&2
        exit 2
    fi
done

# logical FILE INDEX: field INDEX (from 0) of FILE becomes logical.
logical() {
    printf L | dd of="$1" bs=1 seek=$((32 + 32 * $2 + 11)) conv=notrunc 2>/dev/null
}

# The store model (tests/models/db_store.tlv): its stock, the table the
# stock is written back to, and a group in a subdirectory whose second
# table is indexed by the records of two others.
d=$out/db_store
mkdir -p "$d/DATA"
for t in STOCK STOCKOUT; do
    rm -f "$d/$t.dbf"
    dbfcreate "$d/$t" -n QTY 4 0 -n PRICE 7 2 -s NAME 8 -s ACTIVE 1
    dbfadd "$d/$t" 12 3.5 BOLT T
    dbfadd "$d/$t" 30 0.25 NUT T
    dbfadd "$d/$t" 5 19.9 HAMMER F
    logical "$d/$t.dbf" 3
done
rm -f "$d/DATA/SHOPS.dbf" "$d/DATA/SALES.dbf"
dbfcreate "$d/DATA/SHOPS" -s CITY 6
dbfadd "$d/DATA/SHOPS" LYON
dbfadd "$d/DATA/SHOPS" TURIN
dbfcreate "$d/DATA/SALES" -s STOCK 2 -s SHOPS 2 -n UNITS 5 0
for p in 1 2 3; do
    for s in 1 2; do
        dbfadd "$d/DATA/SALES" $p $s $((p * 10 + s))
    done
done
