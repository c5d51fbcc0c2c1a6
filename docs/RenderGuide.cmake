# Renders one guide page: cmake -DCMARK=<cmark-gfm> -DINPUT=<page.md> -DOUTPUT=<page.html> -P RenderGuide.cmake
# The page's language is in its name (guide.en.md is English, guide.md Japanese); its title is its first
# heading. Links between the Markdown pages become links between the HTML pages.
execute_process(COMMAND ${CMARK} --extension table ${INPUT} OUTPUT_VARIABLE body COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE "href=\"(guide[.a-z]*)\\.md" "href=\"\\1.html" body "${body}")
# Section headings get the ids that the pages' contents link to, made as the usual Markdown hosts make
# them: punctuation dropped, ASCII in lower case, spaces as hyphens.
string(REGEX MATCHALL "<h2>[^<]*</h2>" headings "${body}")
foreach(heading IN LISTS headings)
  string(REGEX REPLACE "^<h2>(.*)</h2>$" "\\1" text "${heading}")
  string(TOLOWER "${text}" id)
  string(REGEX REPLACE "[]!\"#$%&'()*+,./:<=>?@[^`{|}~]|（|）|・|、|「|」|。" "" id "${id}")
  string(REPLACE " " "-" id "${id}")
  string(REPLACE "${heading}" "<h2 id=\"${id}\">${text}</h2>" body "${body}")
endforeach()
file(STRINGS ${INPUT} headings REGEX "^# " LIMIT_COUNT 1 ENCODING UTF-8)
string(REGEX REPLACE "^# " "" title "${headings}")
if(INPUT MATCHES "\\.en\\.md$")
  set(lang en)
else()
  set(lang ja)
endif()
file(WRITE ${OUTPUT} "<!DOCTYPE html>
<html lang=\"${lang}\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>${title}</title>
<style>
body { max-width: 46em; margin: 2em auto; padding: 0 1em; line-height: 1.7;
       font-family: \"Noto Sans CJK JP\", \"IPAPGothic\", sans-serif; color: #222; }
h1, h2 { border-bottom: 1px solid #ccc; padding-bottom: .2em; }
img { max-width: 100%; border: 1px solid #ddd; }
code { background: #f3f3f3; padding: 0 .2em; }
table { border-collapse: collapse; }
td, th { border: 1px solid #ccc; padding: .2em .6em; }
</style>
</head>
<body>
${body}</body>
</html>
")
