# One manual page: the Markdown of IN through cmark, inside a plain HTML page
# titled by its first heading, written to OUT.
execute_process(COMMAND ${CMARK} --to html ${IN} OUTPUT_VARIABLE body RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cmark failed on ${IN}")
endif()
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
</style>
</head>
<body>
${body}</body>
</html>
")
