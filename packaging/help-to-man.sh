#!/bin/sh
# Writes a tool's man page from its --help and --version, which follow one
# layout so that the page needs no text of its own:
#   Usage: TOOL ...            the synopsis ("  or:  TOOL ..." lines add to it)
#   text up to a blank line    the description
#   Heading:                   a section (upper-cased); "Examples:" is kept
#                              line for line
#   "  TERM  text" or "  TERM" with its text on lines indented 6 or more
#                              a tagged paragraph
#   lines indented exactly 4   kept line for line (a short list)
#   other lines indented 2     filled text; a blank line starts a paragraph
# usage: help-to-man.sh TOOL "SUMMARY" "MONTH YEAR" "SEE ALSO PAGES" > TOOL.1
set -eu
tool=$1 summary=$2 date=$3 see_also=$4
name=$(basename "$tool")
version=$("$tool" --version | head -n 1)
"$tool" --help | awk -v name="$name" -v summary="$summary" -v date="$date" \
  -v version="$version" -v see_also="$see_also" '
function esc(s) {
  gsub(/\\/, "\\e", s)
  gsub(/-/, "\\-", s)
  if (s ~ /^[.\047]/) s = "\\&" s
  return s
}
function indent(s) { match(s, /^ */); return RLENGTH }
function strip(s) { sub(/^ +/, "", s); return s }
function verbatim(on) {
  if (on && !nofill) print ".RS\n.nf"
  if (!on && nofill) print ".fi\n.RE"
  nofill = on
}
# Plain text after a tagged paragraph starts a paragraph of its own.
function untag() { if (tagged) print ".PP"; tagged = 0 }
BEGIN {
  print ".TH " toupper(name) " 1 \"" date "\" \"" version "\" \"User Commands\""
  print ".SH NAME"
  print esc(name) " \\- " esc(summary)
  part = "synopsis"
}
{ line[NR] = $0 }
END {
  for (i = 1; i <= NR; i++) {
    s = line[i]
    if (part == "synopsis") {
      if (s ~ /^Usage: /) { print ".SH SYNOPSIS"; sub(/^Usage: +/, "", s); print ".B " esc(s); continue }
      if (s ~ /^  or: /) { sub(/^  or: +/, "", s); print ".br"; print ".B " esc(s); continue }
      print ".SH DESCRIPTION"
      part = "description"
    }
    if (s ~ /^[A-Z][A-Za-z ]*:$/) {
      verbatim(0)
      heading = toupper(substr(s, 1, length(s) - 1))
      print ".SH " heading
      tagged = 0
      continue
    }
    if (s ~ /^ *$/) { verbatim(0); tagged = 0; if (i < NR) print ".PP"; continue }
    if (heading == "EXAMPLES") { verbatim(1); print esc(strip(s)); continue }
    n = indent(s)
    if (n == 4) { untag(); verbatim(1); print esc(strip(s)); continue }
    verbatim(0)
    if (n >= 6) { print esc(strip(s)); continue }
    body = strip(s)
    if (n == 2 && match(body, /  +/)) {
      print ".TP"; print ".B " esc(substr(body, 1, RSTART - 1))
      print esc(substr(body, RSTART + RLENGTH))
      tagged = 1
      continue
    }
    if (n == 2 && i < NR && indent(line[i + 1]) >= 6) {
      print ".TP"; print ".B " esc(body)
      tagged = 1
      continue
    }
    untag()
    print esc(body)
  }
  verbatim(0)
  if (see_also != "") {
    print ".SH \"SEE ALSO\""
    k = split(see_also, pages, " ")
    for (j = 1; j <= k; j++) print ".BR " pages[j] " (1)" (j < k ? "," : "")
  }
}'
