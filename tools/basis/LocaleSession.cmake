# A session with `basis locale`: the list holds the compared locales with
# their code pages and calendars, show reads every value of one locale (and
# refuses numbers that are no locale), and the dump of a locale has a line
# for every value and formatted date, time and number.
#
#   cmake -DBASIS=<basis program> [-DEMULATOR=<runner>] -DWORK=<scratch folder> -P LocaleSession.cmake
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ToolSession.cmake")

function(expect_match text pattern what)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: no match for ${pattern} in:\n${text}")
  endif()
endfunction()

basis_run(locale ok list)
expect_match("${out}" "\n1033 +EN_US +English \\(United States\\) +1252 1\n" "list")
expect_match("${out}" "\n1041 +JA_01 +Japanese +932 1\n" "list")
expect_match("${out}" "\n1049 +RU_RU +Russian \\(Russia\\) +1251 1\n" "list")

basis_run(locale ok show 0x0407)
expect_match("${out}" "^locale 1031 \\(0x0407\\): DE_DE, German \\(Germany\\)\n" "show")
expect_match("${out}" "\n  SDECIMAL +,\n" "show")
expect_match("${out}" "\n  SMONTHNAME1 +Januar\n" "show")
expect_match("${out}" "\n  -1234567, 2 digits +-1\\.234\\.567,00\n" "show")

basis_run(locale fail show 32382)
expect_match("${err}" "not a supported locale" "show of no locale")
basis_run(locale usage show twelve)
expect_match("${err}" "is not a locale number" "show of no number")
basis_run(locale usage paint)
expect_match("${err}" "unknown action" "unknown action")
basis_run(locale usage)

basis_run(locale ok dump 1033)
string(REGEX MATCHALL "\n1033\t" lines "\n${out}")
list(LENGTH lines count)
if(NOT count EQUAL 192)
  message(FATAL_ERROR "dump: ${count} lines instead of 192")
endif()
expect_match("${out}" "1033\tdate 2026-12-06 flags 2\tSunday, December 6, 2026\n" "dump")
expect_match("${out}" "1033\tformat-number 1234567 digits 2 grouping 3\t1,234,567.00\n" "dump")
