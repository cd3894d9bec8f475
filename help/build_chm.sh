#!/usr/bin/env bash
# Compiles the help sources into Help.CHM.
#   build_chm.sh SRC_DIR OUT_FILE
#
# The help viewer reads the titles of the project, the contents and the index in the code page of
# the CHM's language (0x804, code page 936), so those three files are staged as GBK copies; the
# pages stay UTF-8 and say so in their meta tag. chmcmd exits 0 even when it finds no project and
# compiles a dangling link without a word, so success is judged here: every local link must name a
# staged file, chmcmd must report no warning or error, and it must leave a fresh, non-empty CHM.
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 SRC_DIR OUT_FILE" >&2
  exit 2
fi
src=$(cd -- "$1" && pwd)
out=$2
chmcmd=${CHMCMD:-chmcmd}

if ! command -v "$chmcmd" >/dev/null 2>&1; then
  echo "build_chm.sh: $chmcmd not found (it comes with the Debian package fp-utils)" >&2
  exit 1
fi

stage=$(mktemp -d)
trap 'rm -rf -- "$stage"' EXIT

shopt -s nullglob
pages=("$src"/*.htm "$src"/*.css "$src"/*.png "$src"/*.jpg "$src"/*.gif)
if [[ ${#pages[@]} -eq 0 ]]; then
  echo "build_chm.sh: no pages in $src" >&2
  exit 1
fi
cp -- "${pages[@]}" "$stage"/
# The pages that name the release take it from the release's one version source, through the
# build (QUADRIVO_RELEASE, QUADRIVO_PRODUCT_VERSION, QUADRIVO_FILE_VERSION).
for page in "$stage"/*.htm; do
  sed -i -e "s/@QUADRIVO_RELEASE@/${QUADRIVO_RELEASE:?}/g" \
         -e "s/@QUADRIVO_PRODUCT_VERSION@/${QUADRIVO_PRODUCT_VERSION:?}/g" \
         -e "s/@QUADRIVO_FILE_VERSION@/${QUADRIVO_FILE_VERSION:?}/g" -- "$page"
done

for f in Help.hhp Help.hhc Help.hhk; do
  if ! iconv -f UTF-8 -t GBK -- "$src/$f" >"$stage/$f"; then
    echo "build_chm.sh: $f holds text that GBK cannot carry" >&2
    exit 1
  fi
done

# Local targets: href and src of the pages, Local of the contents and the index. Addresses with a
# scheme (http:, mailto:) and bare #anchors are not files and are left out by the pattern.
dangling=0
while IFS= read -r target; do
  file=${target%%#*}
  if [[ ! -f "$stage/$file" ]]; then
    echo "build_chm.sh: link to missing file: $target" >&2
    dangling=1
  fi
done < <(
  cd "$stage"
  grep -ohE '(href|src)="[^"#:]+(#[^"]*)?"' -- *.htm | sed -E 's/^[a-z]+="//; s/"$//'
  grep -ohE 'name="Local" value="[^"]*"' -- Help.hhc Help.hhk | sed -E 's/^.*value="//; s/"$//'
)
if [[ $dangling -ne 0 ]]; then
  exit 1
fi

status=0
(cd "$stage" && "$chmcmd" Help.hhp) >"$stage/chmcmd.log" 2>&1 || status=$?
cat -- "$stage/chmcmd.log"
if [[ $status -ne 0 ]]; then
  echo "build_chm.sh: chmcmd failed with exit code $status" >&2
  exit 1
fi
if grep -qiE '^(warning|error)|exception' -- "$stage/chmcmd.log"; then
  echo "build_chm.sh: chmcmd reported a problem (see above)" >&2
  exit 1
fi
if [[ ! -s "$stage/Help.CHM" ]]; then
  echo "build_chm.sh: chmcmd produced no Help.CHM" >&2
  exit 1
fi

mkdir -p -- "$(dirname -- "$out")"
cp -f -- "$stage/Help.CHM" "$out"
echo "build_chm.sh: wrote $out ($(stat -c %s -- "$out") bytes)"
