#!/usr/bin/env bash
# Fills DIR with a product of the usual mix, taken from this machine's own files: programs and DLLs
# (32-bit PE from Wine, i386 shared libraries), documents (man pages decompressed, /usr/share/doc
# texts and pages), pictures (PNG, JPEG) and data (message catalogues, databases, tables), about
# 96 MiB in about 300 files. The choice is deterministic: each kind takes its candidates in name
# order until its budget is spent, so the same machine gives the same product.
#   bench/make-product.sh DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
out=$1
mkdir -p "$out"
[ -z "$(ls -A "$out")" ] || { echo "$out is not empty" >&2; exit 2; }
export LC_ALL=C

# take KIND BUDGET_KIB MIN_KIB MAX_KIB: copies the files named on standard input (one a line, taken
# in sorted order) of MIN..MAX KiB into DIR/KIND until BUDGET KiB are there.
take() {
    local kind=$1 budget=$(($2 * 1024)) min=$(($3 * 1024)) max=$(($4 * 1024)) used=0 n=0 f size name
    mkdir -p "$out/$kind"
    while IFS= read -r f; do
        if [ ! -f "$f" ] || [ ! -r "$f" ]; then continue; fi
        size=$(stat -L -c %s "$f")
        if [ "$size" -lt "$min" ] || [ "$size" -gt "$max" ]; then continue; fi
        [ $((used + size)) -le "$budget" ] || continue
        name=$(basename "$f" | tr -c 'A-Za-z0-9._\n-' '_')
        n=$((n + 1))
        cp -L "$f" "$out/$kind/$(printf '%03d' "$n")-$name"
        used=$((used + size))
    done < <(sort -u)
}

# Man pages (English), decompressed and bound into one document per section and letter, as a
# manual's chapters would be, until BUDGET KiB are there. They lie among the other documents: the
# install benchmark gives each kind one directory, with nothing below it.
man_documents() {
    local dir=$out/documents budget=$(($1 * 1024)) section letter files doc
    mkdir -p "$dir"
    for section in 1 5 8 7 3; do
        for letter in a b c d e f g h i j k l m n o p q r s t u v w x y z; do
            [ "$(cat "$dir"/man*.txt 2>/dev/null | wc -c)" -lt "$budget" ] || return 0
            files=$(find /usr/share/man/man$section -maxdepth 1 -name "$letter*.gz" 2>/dev/null | sort)
            [ -n "$files" ] || continue
            doc=$dir/man$section-$letter.txt
            # shellcheck disable=SC2086
            zcat $files 2>/dev/null | head -c $((budget / 8)) >"$doc" || true
            [ -s "$doc" ] || rm -f "$doc"
        done
    done
}

find /usr/lib/i386-linux-gnu/wine/i386-windows -maxdepth 1 \( -name '*.dll' -o -name '*.exe' \) |
    take programs 32768 64 4096
find /usr/lib/i386-linux-gnu -maxdepth 1 -name '*.so*' -type f | take libraries 12288 128 4096
man_documents 16384
find /usr/share/doc -type f \( -name '*.html' -o -name '*.txt' -o -name 'README*' -o -name '*.md' \) |
    take documents 10240 32 2048
find /usr/share /usr/lib -type f \( -name '*.png' -o -name '*.jpg' -o -name '*.jpeg' \) 2>/dev/null |
    take pictures 8192 4 4096
find /usr/share/locale -name '*.mo' | take data 9216 160 2048
{
    find /usr/share/misc /usr/share/file /usr/lib/file /usr/share/mime /usr/share/publicsuffix -type f \
        2>/dev/null || true
    find /usr/share/zoneinfo -name 'tzdata.zi' 2>/dev/null || true
    find / -xdev \( -name '*.db' -o -name '*.sqlite' -o -name '*.sqlite3' \) -not -path '/proc/*' \
        -not -path '/tmp/*' -not -path '/work/*' -not -path '/root/*' -not -path '/var/cache/man/*' \
        2>/dev/null || true
    find /usr/share/i18n/locales -type f 2>/dev/null || true
} | take tables 12288 48 9216
echo "$(find "$out" -type f | wc -l) files, $(du -sb "$out" | cut -f1) bytes in $out"
