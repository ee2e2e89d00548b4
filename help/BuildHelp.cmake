# Turns help.md into help.html: cmark-gfm writes the body, every heading gets
# an id made from its text (so the contents can link to it), and the page
# template wraps it. Arguments: CMARK, SOURCE, TEMPLATE, OUTPUT.
execute_process(COMMAND ${CMARK} --extension table --extension autolink --to html ${SOURCE}
                OUTPUT_VARIABLE body RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmark-gfm failed on ${SOURCE}")
endif()

string(REGEX MATCHALL "<h[23]>[^<]*</h[23]>" headings "${body}")
foreach(heading IN LISTS headings)
    string(REGEX REPLACE "^<(h[23])>.*$" "\\1" tag "${heading}")
    string(REGEX REPLACE "^<h[23]>([^<]*)</h[23]>$" "\\1" text "${heading}")
    string(TOLOWER "${text}" slug)
    string(REGEX REPLACE "&[a-z]+" "" slug "${slug}")
    string(REGEX REPLACE "[^a-z0-9]+" "-" slug "${slug}")
    string(REGEX REPLACE "^-+|-+$" "" slug "${slug}")
    string(REPLACE "${heading}" "<${tag} id=\"${slug}\">${text}</${tag}>" body "${body}")
endforeach()

file(READ ${TEMPLATE} page)
string(REPLACE "@BODY@" "${body}" page "${page}")
file(WRITE ${OUTPUT}.part "${page}")
file(RENAME ${OUTPUT}.part ${OUTPUT})
