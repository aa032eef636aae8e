#!/usr/bin/env bash
# Runs zentoro.exe under Wine (no display needed) on files and folders with
# names beyond any ANSI code page, and compares everything it prints and
# writes with what the Linux build prints and writes for the same files:
# report lines (with "\" read as "/"), exit status, and every RTF byte.
#
#   run_console_under_wine.sh WINDOWS_BUILD_DIR LINUX_ZENTORO DOCUMENT [MAKE_SKETCH_SAMPLE]
#
# MAKE_SKETCH_SAMPLE writes a document with sketches, for the cases of
# pictures: Markdown's beside its output and --extract-pictures'.
#
# Exits 77 (skipped) when Wine or the Windows build is missing, or fails
# instead when ZENTORO_REQUIRE_WINDOWS_TESTS=1 (as in CI).
set -euo pipefail

source "$(dirname "$0")/wine_test_support.sh"
# Absolute: the programs run from inside the trees they convert.
windows_build=$(realpath "$1")
linux_zentoro=$(realpath "$2")
document=$(realpath "$3")
make_sketch_sample=${4:+$(realpath "$4")}
zentoro_exe=$windows_build/zentoro.exe

require_tools wine wineserver
update_windows_build "$windows_build" zentoro

work=$(mktemp -d /tmp/zentoro-wine-console.XXXXXX)
cleanup() {
  WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_wine_prefix "$work/prefix"
# Wine reads the command line with the locale's character set.
export LC_ALL=C.UTF-8

failures=0
pass() { echo "ok: $1"; }
fail() {
  echo "FAILED: $1"
  failures=$((failures + 1))
}

folder='Brieven – Ünïcode'
# The same tree for each program, made afresh for every case.
make_tree() {
  local root=$1/$folder
  mkdir -p "$root/Größe" "$root/Ωμέγα"
  cp "$document" "$root/Brief é.wrd"
  cp "$document" "$root/Γράμμα.wrd"
  cp "$document" "$root/Größe/notes"
  cp "$document" "$root/Ωμέγα/σημειώσεις – 1"
  printf 'Just some notes, not a Word document.\n' >"$root/Größe/notes.txt"
}

# A document deeper than Windows's old 260-character limit.
deep='Tief – δ'
for level in 1 2 3 4 5 6; do deep="$deep/Ωμέγα – a folder with a rather long name, level $level"; done
make_deep_tree() {
  mkdir -p "$1/$deep"
  cp "$document" "$1/$deep/γράμμα.wrd"
}

# Runs both programs on fresh trees in $work/linux and $work/windows, made
# by the function named first, from the top of each, with the same
# arguments, and keeps what each printed.
run_on() {
  local make=$1
  shift
  rm -rf "$work/linux" "$work/windows"
  mkdir -p "$work/linux" "$work/windows"
  "$make" "$work/linux"
  "$make" "$work/windows"
  set +e
  (cd "$work/linux" && "$linux_zentoro" "$@" >"$work/linux.out" 2>"$work/linux.err")
  linux_status=$?
  (cd "$work/windows" && wine "$zentoro_exe" "$@" >"$work/windows.out" 2>"$work/windows.err")
  windows_status=$?
  set -e
  tr '\\' / <"$work/windows.out" >"$work/windows.slashed"
}
run_both() { run_on make_tree "$@"; }

# Every file in both trees, with its bytes' checksum, in one listing each.
tree_listing() { (cd "$1" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum); }

compare_runs() {
  local name=$1 expected_status=$2
  if [[ $windows_status == "$expected_status" && $linux_status == "$expected_status" ]]; then
    pass "$name: both exit with status $expected_status"
  else
    fail "$name: exit status $windows_status under Wine, $linux_status on Linux, $expected_status expected"
  fi
  if cmp -s "$work/linux.out" "$work/windows.slashed"; then
    pass "$name: the report lines are those of the Linux build"
  else
    fail "$name: the report lines differ from the Linux build's (< Linux, > Windows):"
    diff "$work/linux.out" "$work/windows.slashed" | sed 's/^/    /' || true
    sed 's/^/    stderr: /' "$work/windows.err"
  fi
  if diff <(tree_listing "$work/linux") <(tree_listing "$work/windows") >"$work/trees.diff"; then
    pass "$name: the files written are byte-identical to the Linux build's"
  else
    fail "$name: the files written differ from the Linux build's (< Linux, > Windows):"
    sed 's/^/    /' "$work/trees.diff"
  fi
}

expect_rtf_count() {
  local name=$1 count=$2 found
  found=$(find "$work/windows" -name '*.rtf' | wc -l)
  if [[ $found == "$count" ]]; then pass "$name: $count RTF files written"; else fail "$name: $found RTF files written, $count expected"; fi
}

run_both "$folder"
compare_runs "a folder of non-ASCII names" 0
expect_rtf_count "a folder of non-ASCII names" 4

run_both "$folder/Γράμμα.wrd" "$folder/Größe/notes"
compare_runs "documents named directly" 0
expect_rtf_count "documents named directly" 2

run_both --output-dir 'Ausgabe – Ω' "$folder"
compare_runs "--output-dir" 0
expect_rtf_count "--output-dir" 4
[[ -f "$work/windows/Ausgabe – Ω/Ωμέγα/σημειώσεις – 1.rtf" ]] \
  && pass "--output-dir: the tree is mirrored under the output folder" \
  || fail "--output-dir: Ausgabe – Ω/Ωμέγα/σημειώσεις – 1.rtf is missing"

run_both "$folder/Größe/notes.txt" "$folder/Brief é.wrd" "$folder/Fehlt – ø.wrd"
compare_runs "a file that is not a Word document and one that is missing" 1

# A document deeper than Windows's old 260-character limit is found and
# converted (MinGW's own directory iterator lists another folder there).
run_on make_deep_tree 'Tief – δ'
compare_runs "a document $(printf %s "Z:$work/windows/$deep/γράμμα.wrd" | wc -m) characters deep" 0
expect_rtf_count "a document beyond 260 characters" 1

# Outputs named beyond 260 characters: one reached through "..", which is
# resolved before the path is marked extended-length; and a Word document
# there that is refused, not replaced, as anywhere else.
run_on make_deep_tree -o "$deep/../Brief – über 260.rtf" "$deep/γράμμα.wrd"
compare_runs "-o beyond 260 characters, through \"..\"" 0
expect_rtf_count "-o beyond 260 characters" 1
make_deep_pair() {
  make_deep_tree "$1"
  cp "$document" "$1/$deep/Kopie.wrd"
}
run_on make_deep_pair -o "$deep/Kopie.wrd" "$deep/γράμμα.wrd"
compare_runs "-o naming a Word document beyond 260 characters" 1

# The output named by another spelling of the input's path is refused, and
# the document is left as it was.
run_both -o "$folder/Ωμέγα/../Γράμμα.wrd" "$folder/Γράμμα.wrd"
compare_runs "-o naming the input itself" 1

# Every kind of output and the pictures under names beyond any ANSI code
# page: each file the program creates must carry the name as given.
if [[ -z $make_sketch_sample ]]; then
  echo "SKIPPED CASE: pictures: no program to write a document with sketches was given"
else
  "$make_sketch_sample" "$work/sketches.wrd"
  make_sketch_tree() {
    mkdir -p "$1/Größe – Ω"
    cp "$work/sketches.wrd" "$1/Brief Müller.wrd"
    cp "$work/sketches.wrd" "$1/Größe – Ω/Γράμμα"
  }
  for format in rtf rtf-original text html markdown; do
    run_on make_sketch_tree -t "$format" "Brief Müller.wrd"
    compare_runs "-t $format on a name beyond ASCII" 0
  done
  [[ -f "$work/windows/Brief Müller.wrd-object1.png" ]] \
    && pass "Markdown: its pictures are named after the document as it is named" \
    || fail "Markdown: Brief Müller.wrd-object1.png is missing"
  grep -qF '](Brief%20M%C3%BCller.wrd-object1.png)' "$work/windows/Brief Müller.wrd.md" \
    && pass "Markdown: the link names the picture written" \
    || fail "Markdown: no link to Brief Müller.wrd-object1.png"
  run_on make_sketch_tree -t md --output-dir 'Ausgabe – ß' 'Größe – Ω'
  compare_runs "Markdown with its pictures under --output-dir" 0
  run_on make_sketch_tree --extract-pictures=Größe "Brief Müller.wrd" 'Größe – Ω'
  compare_runs "--extract-pictures into a folder beyond ASCII" 0
  [[ -f "$work/windows/Größe/Brief Müller.wrd-object1.png" ]] \
    && pass "--extract-pictures: the folder and the pictures carry their names" \
    || fail "--extract-pictures: Größe/Brief Müller.wrd-object1.png is missing"
  make_sketch_tree_with_pictures() {
    make_sketch_tree "$1"
    mkdir -p "$1/Größe"
    printf 'mine' >"$1/Größe/Brief Müller.wrd-object1.png"
    printf 'mine' >"$1/Brief Müller.wrd-object1.png"
  }
  run_on make_sketch_tree_with_pictures -n --extract-pictures=Größe "Brief Müller.wrd"
  compare_runs "-n keeps an extracted picture named beyond ASCII" 0
  run_on make_sketch_tree_with_pictures -n -t md "Brief Müller.wrd"
  compare_runs "-n keeps a Markdown picture named beyond ASCII" 0
  [[ $(cat "$work/windows/Brief Müller.wrd-object1.png") == mine ]] \
    && pass "-n: the picture that stood there is kept" \
    || fail "-n: Brief Müller.wrd-object1.png was replaced"
fi

# On a console (Wine's, on a pseudo-terminal from script(1)) the names show
# as they are, not as replacement marks, and the progress line runs.
if ! command -v script >/dev/null; then
  echo "SKIPPED CASE: on a console: script(1) is not installed"
else
  rm -rf "$work/windows" && mkdir -p "$work/windows" && make_tree "$work/windows"
  (cd "$work/windows" && script -qec "wine '$zentoro_exe' '$folder'" "$work/console" >/dev/null 2>&1) || true
  # Wine's console draws with escape sequences; what is left is the text.
  sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' "$work/console" >"$work/console.text"
  grep -qF "$folder\Γράμμα.wrd -> $folder\Γράμμα.wrd.rtf: Psion 5 Word" "$work/console.text" \
    && pass "on a console: the names show as they are" \
    || fail "on a console: the report line of Γράμμα.wrd is not shown as it is"
  ! grep -qF $'\xEF\xBF\xBD' "$work/console.text" \
    && pass "on a console: no character shows as a replacement mark" \
    || fail "on a console: some characters show as replacement marks"
  grep -qF "[3/5] $folder\Γράμμα.wrd" "$work/console.text" \
    && pass "on a console: the progress line runs" \
    || fail "on a console: no progress line"
fi

# -o - writes the RTF to standard output, here into a pipe.
expected_rtf=$work/expected.rtf
"$linux_zentoro" -o "$expected_rtf" "$document" >/dev/null
if [[ $("$linux_zentoro" -o - "$document" 2>/dev/null | head -c 5) != '{\rtf' ]]; then
  echo "SKIPPED CASE: -o - into a pipe: this build's zentoro does not write RTF to standard output yet"
  rm -f -- -
else
  rm -rf "$work/windows" && mkdir -p "$work/windows" && make_tree "$work/windows"
  (cd "$work/windows" && wine "$zentoro_exe" -o - "$folder/Γράμμα.wrd" 2>/dev/null | cat >"$work/piped.rtf") || true
  cmp -s "$expected_rtf" "$work/piped.rtf" \
    && pass "-o - into a pipe: the RTF is byte-identical to the Linux build's" \
    || fail "-o - into a pipe: the RTF differs from the Linux build's"
fi

echo "$failures check(s) failed"
[[ $failures == 0 ]]
