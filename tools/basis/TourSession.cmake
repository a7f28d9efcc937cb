# A session with `basis tour`: it opens with what Basis is, shows the
# sections for the library's users first and its inner workings only when
# asked, and keeps its scratch files in the folder TMPDIR names.
#
#   cmake -DBASIS=<basis program> [-DEMULATOR=<runner>] -DWORK=<scratch folder> -P TourSession.cmake
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ToolSession.cmake")

file(MAKE_DIRECTORY "${WORK}/scratch")
set(ENV{TMPDIR} "${WORK}/scratch")
basis_run(tour ok)
expect_match("${out}" "^Basis is a C\\+\\+ foundation library [^\n]*\n[^\n]*\n[^\n]*It serves [^\n]*\n\n== Strings"
             "the tour's opening")
string(REGEX MATCHALL "\n== [A-Za-z]+" headings "${out}")
string(REPLACE "\n== " "" headings "${headings}")
if(NOT headings STREQUAL "Strings;Word;Record;Files;Sharing;INI;Registry;Languages;Calendars;Forums")
  message(FATAL_ERROR "the tour shows ${headings}, expected the sections for users (strings to forums)")
endif()
if(out MATCHES "== The library frame")
  message(FATAL_ERROR "the tour shows the library's frame without --internals")
endif()
# Its files went to TMPDIR (the record file's name is printed) and are
# gone again.
expect_match("${out}" "scratch[/\\\\]rec[0-9]+\\.bfr: 64-byte blocks" "the tour's record file in TMPDIR")
file(GLOB left "${WORK}/scratch/*")
# (Wine keeps a folder of its own there.)
list(FILTER left EXCLUDE REGEX "/wine-[^/]*$")
if(left)
  message(FATAL_ERROR "the tour left ${left} behind")
endif()

basis_run(tour ok --internals)
expect_match("${out}" "== Files =+\n.*== Sharing.*== The library frame" "the frame after the files with --internals")
basis_run(tour ok frame)
expect_match("${out}" "^\n== The library frame" "a section named")
basis_run(tour usage --bogus)
expect_match("${err}" "unknown option \"--bogus\"" "an unknown option of the tour")
message(STATUS "basis tour: the session passed")
