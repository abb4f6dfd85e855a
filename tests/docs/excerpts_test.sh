#!/bin/sh
# excerpts_test.sh SOURCE_ROOT DOCUMENT
# A document's code excerpts are what the tested code says. Each fenced block that follows a line
# "<!-- excerpt: PATH -->" (PATH from the source root) must appear in that file as a run of whole
# lines; a document with no such block fails too, since then the markers went unnoticed.
set -eu
root=$1
document=$2

awk -v root="$root" '
  function fail(what) { print "FAIL: " FILENAME ":" FNR ": " what; failures++ }
  function file_text(path,   line, text, status) {
    text = "\n"
    while ((status = (getline line < path)) > 0) text = text line "\n"
    if (status < 0) return ""
    close(path)
    return text
  }
  in_block && /^```/ {
    in_block = 0
    excerpts++
    source = file_text(root "/" path)
    if (source == "") fail(path ": no such file")
    else if (index(source, "\n" block) == 0) fail("the excerpt of " path " is not in it as it is")
    next
  }
  in_block { block = block $0 "\n"; next }
  path_pending {
    path_pending = 0
    if (/^```/) { in_block = 1; block = ""; next }
    fail("an excerpt marker not followed by a code block")
  }
  /^<!-- excerpt: [^ ]+ -->$/ { path = $3; path_pending = 1 }
  END {
    if (in_block || path_pending) fail("the document ends inside an excerpt")
    if (excerpts == 0) fail("no excerpts")
    if (failures > 0) exit 1
    print "ok: " excerpts " excerpts quoted as they are"
  }
' "$document"
