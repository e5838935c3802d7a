# cmake -DMARKDOWN=markdown_py -DIN=page.md -DOUT=page.html -DLANG=en|zh -P markdown.cmake:
# one page of the user guide as a complete HTML file. Its first line "# Title" is the title.
execute_process(COMMAND ${MARKDOWN} -e utf-8 -x extra -x toc ${IN}
                OUTPUT_VARIABLE body RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "markdown_py ${IN} failed: ${rc}")
endif()
file(STRINGS ${IN} first LIMIT_COUNT 1 ENCODING UTF-8)
string(REGEX REPLACE "^# *" "" title "${first}")
if(LANG STREQUAL zh)
  set(html_lang zh-CN)
else()
  set(html_lang en)
endif()
get_filename_component(outdir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${outdir})
file(WRITE ${OUT} "<!DOCTYPE html>
<html lang=\"${html_lang}\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>${title}</title>
<link rel=\"stylesheet\" href=\"guide.css\">
</head>
<body>
${body}
</body>
</html>
")
