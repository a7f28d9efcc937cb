# A session with `basis calendar` and `basis time`: a date to each calendar
# and back, a month laid out in two calendars, dates read by picture, and
# the usage and failure statuses.
#
#   cmake -DBASIS=<basis program> [-DEMULATOR=<runner>] -DWORK=<scratch folder> -P CalendarSession.cmake
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ToolSession.cmake")

# Each calendar there and back: the Gregorian date comes out as it went in.
foreach(pair "hebrew;5787-09-26" "hijri;1448-06-25" "japanese;38-12-06" "taiwan;115-12-06" "korean;4359-12-06"
             "thai;2569-12-06")
  list(GET pair 0 calendar)
  list(GET pair 1 expected)
  basis_run(calendar ok convert 2026-12-06 --to ${calendar})
  expect_match("${out}" "^2026-12-06 gregorian = ${expected} ${calendar}" "convert --to ${calendar}")
  basis_run(calendar ok convert ${expected} --from ${calendar})
  expect_match("${out}" "= 2026-12-06 gregorian" "convert --from ${calendar}")
endforeach()
# The Hebrew new year 5807, and a Hebrew leap month.
basis_run(calendar ok convert 2046-10-01 --to hebrew)
expect_match("${out}" "5807-07-01 hebrew \\(1 Tishri 5807\\)" "Hebrew new year")
basis_run(calendar ok convert 5787-13-01 --from hebrew)
expect_match("${out}" "Adar II" "Adar II")
basis_run(calendar fail convert 5786-13-01 --from hebrew)
basis_run(calendar fail convert 2026-02-29 --to hijri)
basis_run(calendar usage convert 2026-12-06 --to aztec)
basis_run(calendar usage convert 2026-12 --to hebrew)
basis_run(calendar usage convert 2026-12-06 --sideways hebrew)
basis_run(calendar usage frobnicate)

# December 2026 in a Hebrew locale: Kislev and Tevet beside the days.
basis_run(calendar ok month 2026-12 --locale 1037)
expect_match("${out}" "21 Kislev 5787\\) to .*21 Tevet 5787" "month heading")
expect_match("${out}" "\n 6/26  7/27  8/28  9/29 10/30 11/1  12/2\n" "month week")
basis_run(calendar ok month 2026-12 --locale 1031)
expect_match("${out}" "\n 7  8  9 10 11 12 13\n" "a week from Monday")
basis_run(calendar usage month 2026-13)
basis_run(calendar usage month 2026-12 --locale 99999)

basis_run(time ok parse "10:30 PM" --picture "hh:mm tt" --locale 1033)
expect_match("${out}" " 22:30:00 " "PM")
basis_run(time ok parse "5 MARCH 1999" --picture "d MMMM yyyy" --locale 1033)
expect_match("${out}" "^1999-03-05 00:00:00" "month name")
basis_run(time ok parse "17.05.2541" --picture "dd.MM.yyyy" --locale 1033 --calendar thai)
expect_match("${out}" "^1998-05-17 " "Thai year")
basis_run(time fail parse "30.02.98" --picture "dd.MM.yy" --locale 1033)
basis_run(time usage parse "1.1.2000")
basis_run(time usage parse "1.1.2000" --picture "d.M.yyyy" --calendar aztec)
# A usage mistake is one line that names it and points at --help.
basis_run(calendar usage convert 2026-12-06 --bogus hebrew)
expect_match("${err}" "^basis calendar: unknown option \"--bogus\"; see basis calendar --help\n$" "an unknown option")
basis_run(time usage parse "1.1.2000" --picture "d.M.yyyy" --calendar aztec)
expect_match("${err}" "^basis time: unknown calendar \"aztec\"; see basis time --help\n$" "an unknown calendar")
