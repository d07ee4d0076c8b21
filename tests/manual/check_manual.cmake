# Checks a built manual with poppler's tools, never through our own code:
# A4 pages, enough of them, the title page, the chapter headings, the page
# numbers in the footer and the table of contents pointing at the right pages.
#
#   cmake -DPDF=... -DPDFINFO=... -DPDFTOTEXT=... -DTITLE=... -DFOOTER="Page {page} of {pages}"
#         -DCONTENTS=... -DHEADINGS="a|b|..." -DTEXTS="x|y|..." -DMIN_PAGES=12 -P check_manual.cmake

function(fail text)
  message(FATAL_ERROR "${PDF}: ${text}")
endfunction()

# The text of pages first..last: in reading order with every run of blanks
# and line ends made one blank, or (LAYOUT) lines as printed.
function(page_text first last out)
  if(ARGN STREQUAL "LAYOUT")
    set(layout -layout)
  endif()
  execute_process(COMMAND ${PDFTOTEXT} ${layout} -f ${first} -l ${last} ${PDF} -
    OUTPUT_VARIABLE text RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    fail("pdftotext failed: ${errors}")
  endif()
  if(NOT layout)
    string(ASCII 12 form_feed)
    string(REPLACE "${form_feed}" " " text "${text}")
    string(REGEX REPLACE "[ \t\r\n]+" " " text "${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REPLACE "|" ";" HEADINGS "${HEADINGS}")
string(REPLACE "|" ";" TEXTS "${TEXTS}")

foreach(tool PDFINFO PDFTOTEXT)
  if(NOT ${tool})
    message(FATAL_ERROR "${tool} not found: scripts/install-deps installs poppler-utils")
  endif()
endforeach()
if(NOT EXISTS "${PDF}")
  fail("missing")
endif()

execute_process(COMMAND ${PDFINFO} ${PDF} OUTPUT_VARIABLE info RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  fail("pdfinfo failed: ${errors}")
endif()
if(NOT info MATCHES "Page size: +595(\\.[0-9]+)? x 84[12](\\.[0-9]+)? pts \\(A4\\)")
  fail("not A4:\n${info}")
endif()
string(REGEX MATCH "Pages: +([0-9]+)" _ "${info}")
set(pages ${CMAKE_MATCH_1})
if(pages LESS MIN_PAGES)
  fail("${pages} pages, expected at least ${MIN_PAGES}")
endif()

# The title page.
page_text(1 1 title_page)
string(FIND "${title_page}" "${TITLE}" at)
if(at LESS 0)
  fail("the title page lacks \"${TITLE}\":\n${title_page}")
endif()

# Every page after the title carries its number and the total.
foreach(p RANGE 2 ${pages})
  page_text(${p} ${p} text)
  string(REPLACE "{page}" "${p}" expected "${FOOTER}")
  string(REPLACE "{pages}" "${pages}" expected "${expected}")
  string(FIND "${text}" "${expected}" at)
  if(at LESS 0)
    fail("page ${p} lacks the footer \"${expected}\"")
  endif()
endforeach()

# The headings, each listed in the contents with the page it starts on.
page_text(2 3 contents LAYOUT)
string(FIND "${contents}" "${CONTENTS}" at)
if(at LESS 0)
  fail("no table of contents \"${CONTENTS}\" on page 2")
endif()
page_text(1 ${pages} all)
foreach(heading IN LISTS HEADINGS)
  string(FIND "${all}" "${heading}" at)
  if(at LESS 0)
    fail("the heading \"${heading}\" is missing")
  endif()
  string(REGEX MATCH "${heading}[ \t]*([0-9]+)" _ "${contents}")
  if(NOT CMAKE_MATCH_1)
    fail("the contents do not list \"${heading}\" with a page")
  endif()
  page_text(${CMAKE_MATCH_1} ${CMAKE_MATCH_1} target)
  string(FIND "${target}" "${heading}" at)
  if(at LESS 0)
    fail("the contents put \"${heading}\" on page ${CMAKE_MATCH_1}, where it is not")
  endif()
endforeach()

# Texts that must come through intact (umlauts, key names, messages).
foreach(text IN LISTS TEXTS)
  string(FIND "${all}" "${text}" at)
  if(at LESS 0)
    fail("the text \"${text}\" is missing")
  endif()
endforeach()
