# Turns the manual page's Markdown into man(7) source: cmark-gfm writes the
# body, this script adds the title line cmark-gfm does not write, puts each
# heading on its macro's line, and turns every option paragraph followed by a
# quoted block into a tagged paragraph (.TP), the way manual pages list their
# options. Arguments: CMARK, SOURCE, OUTPUT, NAME, SECTION, VERSION, DATE.
cmake_policy(VERSION 3.25)
execute_process(COMMAND ${CMARK} --to man ${SOURCE}
                OUTPUT_VARIABLE body RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmark-gfm failed on ${SOURCE}")
endif()

# ".PP\nTERM\n.RS\n.PP\nTEXT\n.PP\nMORE\n.RE\n" -> ".TP\nTERM\nTEXT\n.IP\nMORE\n"
set(page "")
while(TRUE)
    string(FIND "${body}" "\n.RS\n" quote)
    if(quote EQUAL -1)
        break()
    endif()
    string(FIND "${body}" "\n.RE\n" end)
    math(EXPR quote_end "${quote} + 5")
    string(SUBSTRING "${body}" 0 ${quote} before)
    math(EXPR text_length "${end} - ${quote_end}")
    string(SUBSTRING "${body}" ${quote_end} ${text_length} text)
    # What follows keeps its leading line break, as `before` has one.
    math(EXPR after "${end} + 4")
    string(SUBSTRING "${body}" ${after} -1 body)

    string(FIND "${before}" "\n.PP\n" term REVERSE)
    string(FIND "${text}" "\n.RS\n" nested)
    if(term EQUAL -1 OR NOT nested EQUAL -1 OR NOT text MATCHES "^\\.PP\n")
        message(FATAL_ERROR "${SOURCE}: a quoted block must follow a paragraph that names "
                            "an option, and must not hold another one")
    endif()
    string(SUBSTRING "${before}" 0 ${term} head)
    math(EXPR term_start "${term} + 5")
    string(SUBSTRING "${before}" ${term_start} -1 tag)
    string(REGEX REPLACE "^\\.PP\n" "" text "${text}")
    string(REPLACE "\n.PP\n" "\n.IP\n" text "${text}")
    string(APPEND page "${head}\n.TP\n${tag}\n${text}")
endwhile()
string(APPEND page "${body}")

# ".SH\nNAME\n.PP\n" -> ".SH NAME\n": the heading on its macro's line, and no
# empty paragraph right after it.
string(PREPEND page "\n")
string(REPLACE "\n.SH\n" "\n.SH " page "${page}")
string(REPLACE "\n.SS\n" "\n.SS " page "${page}")
string(REGEX REPLACE "\n(\\.S[HS] [^\n]*)\n\\.PP\n" "\n\\1\n" page "${page}")
string(SUBSTRING "${page}" 1 -1 page)

string(TOUPPER "${NAME}" title)
string(REPLACE "-" "\\-" title "${title}")
file(WRITE ${OUTPUT}.part
     ".TH \"${title}\" \"${SECTION}\" \"${DATE}\" \"Sylvaro Lite ${VERSION}\" \"User Commands\"\n"
     "${page}")
file(RENAME ${OUTPUT}.part ${OUTPUT})
