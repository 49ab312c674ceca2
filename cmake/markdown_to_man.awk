# Turns the option reference (docs/cli.md) into a manual page in roff.
#
#   awk -v version=0.2.0 -f markdown_to_man.awk docs/cli.md > vozo.1
#
# The input keeps to a small Markdown subset:
#   # name(section) -- summary     the title line, first
#   ## Heading / ### Heading       sections and subsections
#   ``` ... ```                    literal blocks
#   `term` line, then ": text"     a definition (term and description)
#   - item                         list items
#   <!-- ... -->                   comments, left out
#   ![alt](picture)                pictures, left out
# and plain paragraphs separated by blank lines. In running text `code` is
# set in bold and a link [text](target) is its text.

function escape(text) {
  gsub(/\\/, "\\e", text)
  gsub(/-/, "\\-", text)
  if (text ~ /^[.']/) text = "\\&" text
  return text
}

# The text of each link [text](target), without its target.
function unlink(text,    out) {
  out = ""
  while (match(text, /\[[^]]*\]\([^)]*\)/)) {
    link = substr(text, RSTART + 1, RLENGTH - 1)
    sub(/\]\(.*/, "", link)
    out = out substr(text, 1, RSTART - 1) link
    text = substr(text, RSTART + RLENGTH)
  }
  return out text
}

function inline(text,    out, start) {
  text = escape(unlink(text))
  out = ""
  while ((start = index(text, "`")) > 0) {
    out = out substr(text, 1, start - 1)
    text = substr(text, start + 1)
    start = index(text, "`")
    if (start == 0) { out = out "`"; break }
    out = out "\\fB" substr(text, 1, start - 1) "\\fR"
    text = substr(text, start + 1)
  }
  return out text
}

function flush(    i) {
  if (count == 0) return
  if (count > 1 && lines[2] ~ /^: /) {
    print ".TP"
    print inline(lines[1])
    sub(/^: /, "", lines[2])
    for (i = 2; i <= count; i++) print inline(lines[i])
  } else if (lines[1] ~ /^- /) {
    for (i = 1; i <= count; i++) {
      if (lines[i] ~ /^- /) { print ".IP \\(bu 2"; sub(/^- /, "", lines[i]) }
      print inline(lines[i])
    }
  } else {
    print ".PP"
    for (i = 1; i <= count; i++) print inline(lines[i])
  }
  count = 0
}

BEGIN { count = 0; literal = 0; comment = 0; titled = 0 }

comment { if ($0 ~ /-->/) comment = 0; next }
literal {
  if ($0 ~ /^```/) { print ".fi"; print ".RE"; literal = 0 } else print escape($0)
  next
}
/^<!--/ { flush(); if ($0 !~ /-->/) comment = 1; next }
/^```/ { flush(); print ".PP"; print ".RS 4"; print ".nf"; literal = 1; next }
/^!\[/ { flush(); next }
!titled && /^# / {
  name = $2; sub(/\(.*/, "", name)
  section = $2; sub(/.*\(/, "", section); sub(/\).*/, "", section)
  summary = $0; sub(/^[^(]*\([^)]*\) *-- */, "", summary)
  printf ".TH %s %s \"\" \"%s %s\" \"User Commands\"\n", toupper(name), section, name, version
  print ".SH NAME"
  print escape(name) " \\- " inline(summary)
  titled = 1
  next
}
/^## / { flush(); sub(/^## /, ""); print ".SH " toupper($0); next }
/^### / { flush(); sub(/^### /, ""); print ".SS " $0; next }
/^[ \t]*$/ { flush(); next }
# Indentation in a paragraph or list item would break the line in roff.
{ lines[++count] = $0; sub(/^[ \t]+/, "", lines[count]) }
END { flush() }
