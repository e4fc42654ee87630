#!/usr/bin/env bash
# Prints the figures that show how tangled the translator's source is, so a
# clean-up can be measured before and after:
#   - writes of the scanner column K and of the transmission switches
#     TRANSMIT and TRSTART outside the folder that owns them, by folder;
#   - folder pairs whose object files call each other (from the built
#     objects' defined and undefined symbols);
#   - comparisons of kind and type fields with string literals;
#   - helpers defined in more than one object file, and the rows that the
#     `duplicates` command finds in src/.
#
# usage: figures.sh [SOURCE_DIR [BUILD_DIR]]   (defaults: . and SOURCE_DIR/build)
set -u
src=$(realpath "${1:-.}")
build=$(realpath -m "${2:-$src/build}")
cd "$src" || exit 1

# Writes of one field, counted by folder; the owner's own are left out.
# $1 field, $2 owning folder.
writes() {
    local field=$1 owner=$2
    local pat="\\b$field\\b *(=[^=]|\\+=|-=|\\+\\+|--)|(\\+\\+|--) *[A-Za-z_.>]*\\b$field\\b"
    local all
    all=$(grep -rnoE "$pat" src --include='*.cpp' --include='*.h' | awk -F/ '{print $2}' | sort | uniq -c)
    local total folders
    total=$(echo "$all" | awk -v o="$owner" '$2 != o {n += $1} END {print n + 0}')
    folders=$(echo "$all" | awk -v o="$owner" '$2 != o && $1 > 0 {n++} END {print n + 0}')
    printf '%-9s writes outside src/%s: %d in %d folders:' "$field" "$owner" "$total" "$folders"
    echo "$all" | awk -v o="$owner" '$2 != o && $1 > 0 {printf " %s %d", $2, $1}'
    echo
}
echo "== writes of shared scanner and transmission fields"
writes K source
writes TRANSMIT ground
writes TRSTART ground

echo "== folder pairs calling each other (built objects)"
if ls "$build"/CMakeFiles/talvencore.dir/src/*/*.o >/dev/null 2>&1; then
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    for o in "$build"/CMakeFiles/talvencore.dir/src/*/*.o "$build"/CMakeFiles/talvencli.dir/src/*/*.o; do
        [ -f "$o" ] || continue
        # an object left by a source since moved or deleted is not the program
        rel=${o#*.dir/}
        [ -f "$src/${rel%.o}" ] || continue
        folder=$(basename "$(dirname "$o")")
        # Strong definitions only: inline and template copies (W) are in
        # every object that uses them.
        nm -C --defined-only "$o" | awk -v f="$folder" '$2 ~ /^[TDBR]$/ {$1 = ""; $2 = ""; sub(/^  /, ""); print f "\t" $0}' >>"$tmp/def"
        nm -C -u "$o" | awk -v f="$folder" '{$1 = ""; sub(/^ /, ""); print f "\t" $0}' >>"$tmp/use"
    done
    # folder-using TAB folder-defining, once per pair.
    awk -F'\t' 'NR == FNR {def[$2] = $1; next} ($2 in def) && def[$2] != $1 {print $1 "\t" def[$2]}' \
        "$tmp/def" "$tmp/use" | sort -u >"$tmp/edges"
    awk -F'\t' '{e[$1 "\t" $2] = 1} END {for (k in e) {split(k, p, "\t"); if (p[1] < p[2] && ((p[2] "\t" p[1]) in e)) print p[1] " <-> " p[2]}}' \
        "$tmp/edges" | sort >"$tmp/pairs"
    echo "folder pairs calling each other: $(wc -l <"$tmp/pairs")"
    sed 's/^/  /' "$tmp/pairs"
    echo "folders each folder calls: "
    awk -F'\t' '{d[$1] = d[$1] " " $2} END {for (f in d) print "  " f ":" d[f]}' "$tmp/edges" | sort
    echo "== helpers defined in more than one object (name without arguments)"
    for o in "$build"/CMakeFiles/talvencore.dir/src/*/*.o "$build"/CMakeFiles/talvencli.dir/src/*/*.o; do
        nm -C --defined-only "$o" | awk '$2 ~ /^[Tt]$/ {$1 = ""; $2 = ""; sub(/^  /, ""); if ($0 ~ /^std::/) next; n = $0; gsub(/\(anonymous namespace\)::/, "", n); sub(/ \[clone.*/, "", n); sub(/\(.*/, "", n); sub(/.*::/, "", n); if (n !~ /^(_|\.|operator|~)/ && n !~ /[<> ]/) print n}' | sort -u
    done | sort | uniq -c | awk '$1 > 1' | sort -rn >"$tmp/copies"
    echo "names defined in more than one object: $(wc -l <"$tmp/copies")"
    awk '{printf "  %s x%d\n", $2, $1}' "$tmp/copies"
else
    echo "no built objects under $build (build first)"
fi

echo "== comparisons of kind and type fields with string literals"
kinds='TIPO|TYPTYP|TIPOTIPO|TYPEL|VALTYPE|ARGTYPE|KIND|CLASS'
cmp="\\b($kinds)\\b *[!=]= *\"|\" *[!=]= *[A-Za-z_.>]*\\b($kinds)\\b"
n=$(grep -rnoE "$cmp" src --include='*.cpp' --include='*.h' | wc -l)
echo "string comparisons of kinds: $n"
grep -rnoE "$cmp" src --include='*.cpp' --include='*.h' | grep -oE "\\b($kinds)\\b" | sort | uniq -c |
    awk '{printf "  %s %d\n", $2, $1}'

echo "== copied code in src/ (duplicates)"
if command -v duplicates >/dev/null; then
    duplicates --repo src --most 200 --seconds 120 | sed 's/^/  /'
else
    echo "duplicates: not on this machine"
fi
