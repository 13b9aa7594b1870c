# One manual page: the Markdown of IN through cmark-gfm (with its table
# extension), inside a plain HTML page
# titled by its first heading, written to OUT.
execute_process(COMMAND ${CMARK} --extension table --to html ${IN} OUTPUT_VARIABLE body RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${CMARK} failed on ${IN}")
endif()
# Headings get the ids the pages link to: the text in lower case, without
# punctuation, blanks turned into hyphens ("Moving the view" is
# #moving-the-view).
string(REGEX MATCHALL "<h[1-6]>[^<]*</h[1-6]>" headings "${body}")
foreach(heading IN LISTS headings)
  string(REGEX REPLACE "^<h([1-6])>([^<]*)</h[1-6]>$" "\\1" level "${heading}")
  string(REGEX REPLACE "^<h[1-6]>([^<]*)</h[1-6]>$" "\\1" text "${heading}")
  string(TOLOWER "${text}" slug)
  string(REGEX REPLACE "&[a-z]+;" "" slug "${slug}")
  string(REGEX REPLACE "[^a-z0-9 _-]" "" slug "${slug}")
  string(REPLACE " " "-" slug "${slug}")
  string(REPLACE "${heading}" "<h${level} id=\"${slug}\">${text}</h${level}>" body "${body}")
endforeach()
file(STRINGS ${IN} first LIMIT_COUNT 1)
string(REGEX REPLACE "^# *" "" title "${first}")
file(WRITE ${OUT} "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<title>${title}</title>
<style>
body { font-family: sans-serif; max-width: 50em; margin: 2em auto; padding: 0 1em; line-height: 1.4; }
table { border-collapse: collapse; }
td, th { border: 1px solid #bbb; padding: 0.2em 0.6em; text-align: left; }
code, pre { background: #f2f2f2; }
img { max-width: 100%; border: 1px solid #bbb; }
</style>
</head>
<body>
${body}</body>
</html>
")
