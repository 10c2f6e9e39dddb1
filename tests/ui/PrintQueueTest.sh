#!/bin/bash
# Printing through a real print queue: a CUPS scheduler with a cups-pdf printer as the default,
# the window printing a listing and a chart to it, the PDFs read back. Needs root to start the
# scheduler and add the printer; skips (77) with the reason where that cannot be done.
#   PrintQueueTest.sh <print_queue_probe> <sounding file>
set -u
probe=$1
work=$(mktemp -d)
sounding=$work/$(basename "$2")
cp "$2" "$sounding"
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "not root: the print system cannot be started here"
for tool in cupsd lpadmin lpstat pdftotext pdfinfo; do
  command -v "$tool" >/dev/null || skip "$tool is missing (packages cups, printer-driver-cups-pdf, poppler-utils)"
done
[ -x /usr/lib/cups/backend/cups-pdf ] || skip "the cups-pdf backend is missing (printer-driver-cups-pdf)"
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$ppd" ] || skip "no cups-pdf printer description at $ppd"

# A scheduler this script starts runs in the foreground as its child and is stopped at the end.
scheduler=""
cleanup() {
  rm -rf "$work"
  [ -n "$scheduler" ] && kill "$scheduler" 2>/dev/null
}
trap cleanup EXIT
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  cupsd -f &
  scheduler=$!
  for _ in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.2; done
  lpstat -r 2>/dev/null | grep -q "is running" || skip "the CUPS scheduler does not answer"
fi
lpadmin -p TavikPDF -E -v cups-pdf:/ -P "$ppd" 2>/dev/null || skip "lpadmin could not add the cups-pdf printer"
lpadmin -d TavikPDF || skip "lpadmin could not make it the default printer"
# The PostScript step through cairo keeps more of the job's text readable in the resulting PDF
# than the Ghostscript path, after which pdftotext reads no character at all.
lpadmin -p TavikPDF -o pdftops-renderer-default=pdftocairo || skip "lpadmin could not set the printer's options"

# cups-pdf writes into the job owner's ~/PDF (root here) or the anonymous spool folder.
outdirs=("$HOME/PDF" /var/spool/cups-pdf/ANONYMOUS)
marker=$(mktemp)
sleep 1
QT_QPA_PLATFORM=offscreen "$probe" "$sounding" || fail "the window could not print (status $?)"

pdfs=()
for _ in $(seq 1 150); do
  mapfile -t pdfs < <(find "${outdirs[@]}" -maxdepth 1 -name '*.pdf' -newer "$marker" 2>/dev/null | xargs -r ls -tr)
  [ ${#pdfs[@]} -ge 2 ] && break
  sleep 0.2
done
rm -f "$marker"
[ ${#pdfs[@]} -eq 2 ] || fail "expected 2 printed documents, found ${#pdfs[@]}: ${pdfs[*]:-none}"
sleep 1   # the backend may still be writing the last one

# The printed text against the saved listing. The queue's PostScript step keeps the shapes of
# the letters, but of the characters drawn from a font subset that holds Cyrillic it keeps only
# shapes: pdftotext reads other characters there. So the check is the first line (the sounding's
# path, ASCII), read exactly, and every non-blank line of the listing present as one printed line.
pdftotext -layout "${pdfs[0]}" "$work/printed.txt" || fail "pdftotext could not read ${pdfs[0]}"
nonblank() { tr -d '\r\f' | LC_ALL=C grep -c '[^[:space:]]'; }
expected_lines=$(nonblank <"$sounding.PRN")
printed_lines=$(nonblank <"$work/printed.txt")
[ "$expected_lines" -gt 20 ] || fail "the saved listing has only $expected_lines lines"
[ "$printed_lines" = "$expected_lines" ] || fail "printed $printed_lines lines of a listing of $expected_lines"
first_line=$(head -n 1 "$sounding.PRN" | tr -d '\r')
[ "$(LC_ALL=C grep -v '^[[:space:]]*$' "$work/printed.txt" | head -n 1 | sed 's/^ *//; s/ *$//')" = "$first_line" ] ||
  fail "the printed listing does not begin with '$first_line'"
chart_pages=$(pdfinfo "${pdfs[1]}" | awk '/^Pages:/ {print $2}')
[ "$chart_pages" = 1 ] || fail "the chart printed on $chart_pages pages"
echo "printed: listing of $expected_lines lines on $(pdfinfo "${pdfs[0]}" | awk '/^Pages:/ {print $2}') pages, chart on 1 page"
rm -f "${pdfs[@]}"
exit 0
