# A session with `basis records` as a user would run it: create a record
# file, add files and standard input, read every record back and compare
# its bytes, list with both scans, check, show the header, and the usual
# mistakes, each of which must fail with a message and a non-zero status.
#
#   cmake -DBASIS=<basis program> [-DEMULATOR=<runner>] -DWORK=<scratch folder> -P RecordsSession.cmake
#
# The emulator runs the Windows program under Wine; the inputs are made
# here, on the host, so both builds read the very same bytes.
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ToolSession.cmake")

# records(<ok|fail|usage> <argument>... [INPUT <file>] [OUTPUT <file>]):
# `basis records` by basis_run; the program never fails without a word on
# standard error.
function(records expect)
  basis_run(records ${expect} ${ARGN})
  if(NOT expect STREQUAL "ok" AND err STREQUAL "")
    message(FATAL_ERROR "basis records ${ARGN}: failed without a word on standard error")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# Inputs: text, bytes that a text-mode stream would change (CR LF, a
# Ctrl-Z), a record larger than the scan's 64 KiB size-word step, and an
# empty file. The record file itself joins them later: zeros and all.
file(WRITE "${WORK}/text.txt" "hello world\n")
string(ASCII 13 10 26 9 127 crlf)
file(WRITE "${WORK}/crlf.bin" "one${crlf}two\r\n\r\n")
string(REPEAT "0123456789abcdef" 5000 big)
file(WRITE "${WORK}/big.bin" "${big}")
file(WRITE "${WORK}/empty.bin" "")

# A new file: 512-byte blocks, 16 resource slots; the header and tables
# take 256 + 8 * (128 + 16) bytes, so the data area starts at block 3.
records(ok create main.bfr)
expect_match("${out}" "data area starts at offset 1536" "create")
records(fail create main.bfr)
expect_match("${err}" "exists" "create over an existing file")

records(ok add main.bfr text.txt big.bin empty.bin)
string(REGEX MATCHALL "[0-9]+" numbers "${out}")
list(LENGTH numbers count)
list(GET numbers 0 first)
if(NOT count EQUAL 3 OR NOT first EQUAL 3)
  message(FATAL_ERROR "add printed \"${out}\", expected three record numbers from 3 on")
endif()
set(sources text.txt big.bin empty.bin)
records(ok add main.bfr INPUT crlf.bin)
string(REGEX MATCHALL "[0-9]+" more "${out}")
list(APPEND numbers ${more})
list(APPEND sources crlf.bin)
file(COPY_FILE "${WORK}/main.bfr" "${WORK}/copy.bin")
records(ok add main.bfr copy.bin - INPUT text.txt)
string(REGEX MATCHALL "[0-9]+" more "${out}")
list(APPEND numbers ${more})
list(APPEND sources copy.bin text.txt)
set(total 0)
foreach(source IN LISTS sources)
  file(SIZE "${WORK}/${source}" size)
  math(EXPR total "${total} + ${size}")
endforeach()

# Every record comes back byte for byte, to standard output or a file.
set(index 0)
foreach(source IN LISTS sources)
  list(GET numbers ${index} number)
  records(ok get main.bfr ${number} OUTPUT got-${index}.bin)
  expect_same_bytes(got-${index}.bin ${source})
  math(EXPR index "${index} + 1")
endforeach()
list(GET numbers 1 number)
records(ok get main.bfr ${number} --out big-again.bin)
expect_same_bytes(big-again.bin big.bin)

records(ok list main.bfr)
expect_match("${out}" "\n +${first} +12  \"hello world\\\\n\"\n" "list")
expect_match("${out}" "6 records, ${total} bytes \\(found by the scan\\)" "list")
records(ok list main.bfr --robust)
expect_match("${out}" "6 records, ${total} bytes \\(found block by block\\)" "list --robust")
records(ok check main.bfr)
expect_match("${out}" "6 stored, 6 found by the scan, 6 found block by block" "check")
expect_match("${out}" "result +consistent" "check")
records(ok header main.bfr)
expect_match("${out}" "signature +\"VORLAN RecordManager\" 1A, then 11 zero bytes" "header")
expect_match("${out}" "magic number +0xA1B2C3D4\nformat version +1\nblock size +512\nrecord header size +0\n"
             "header")
expect_match("${out}" "record count +6\n" "header")

# Mistakes: each fails with a message, and a failed add adds nothing.
math(EXPR body "${first} + 1")
records(fail get main.bfr ${body})
expect_match("${err}" "no record ${body} in \"main.bfr\": .*31051" "get of a body block")
records(fail get main.bfr 4000000000)
expect_match("${err}" "no record 4000000000" "get past the end")
records(error list missing.bfr)
expect_match("${err}" "opening \"missing.bfr\"" "list of a missing file")
records(error header text.txt)
expect_match("${err}" "too few" "header of a short file")
records(error list big.bin)
expect_match("${err}" "31050" "list of a file that is no record file")
records(error check big.bin)
expect_match("${err}" "not a record file" "check of a file that is no record file")
records(error add main.bfr text.txt missing.txt)
expect_match("${err}" "opening \"missing.txt\"" "add of a missing input")
records(usage create tiny.bfr --block 4)
records(usage frobnicate main.bfr)
records(usage get main.bfr)
records(usage list main.bfr --out x)
records(ok header main.bfr)
expect_match("${out}" "record count +6\n" "header after the failed add")

# A record's data can look like a record to the scans: once one meets a
# body over 64 KiB it steps block by block, and a copy of a small record
# file inside that body puts the copy's live record on a block boundary
# (its 1280 bytes of header and tables plus the body's 4-byte length word
# and a 79992-byte filler make 12-byte blocks line up), with a body offset
# that lands on a plausible word. The count check then finds two records
# where one is stored, and says so.
records(ok create inner.bfr --block 8 --resources 0)
expect_match("${out}" "data area starts at offset 1280" "create of the inner file")
records(ok add inner.bfr text.txt)
string(REPEAT "x" 79992 filler)
file(WRITE "${WORK}/filler.txt" "${filler}")
execute_process(COMMAND ${CMAKE_COMMAND} -E cat "${WORK}/filler.txt" "${WORK}/inner.bfr"
                OUTPUT_FILE "${WORK}/lookalike.bin" RESULT_VARIABLE status)
records(ok create outer.bfr --block 12 --resources 0)
records(ok add outer.bfr lookalike.bin)
records(fail check outer.bfr)
expect_match("${out}" "1 stored, 2 found by the scan" "check of a file with a look-alike record")
expect_match("${out}" "result +CORRUPT" "check of a file with a look-alike record")

# A record header of 16 bytes: a shorter record has no body, and add says
# how it reads back. The name is beyond ASCII (and beyond the ANSI code
# page) to see that it reaches the file system unchanged.
set(wide "records-Ωmega-日本.bfr")
records(ok create ${wide} --header 16 --block 64 --resources 2)
records(ok add ${wide} text.txt crlf.bin)
expect_match("${err}" "reads back as 16 bytes" "add of a record shorter than its header")
if(NOT EXISTS "${WORK}/${wide}")
  message(FATAL_ERROR "the file ${wide} was not created under its own name")
endif()
records(ok check ${wide})
expect_match("${out}" "2 stored, 2 found by the scan" "check of the second file")
# The tool's own manners: its version, help for a command, and one-line
# usage errors with status 2.
basis_run(--version ok)
expect_match("${out}" "^basis [0-9]+\\.[0-9]+" "basis --version")
basis_run(help ok records)
expect_match("${out}" "usage: basis records" "basis help records")
basis_run(--bogus usage)
expect_match("${err}" "unknown option \"--bogus\"; see basis --help" "an unknown option")
basis_run(tour ok --help)
expect_match("${out}" "strings wordlists records files.*--internals.*frame buffer" "basis tour --help")
basis_run(tour usage nosuchsection)
expect_match("${err}" "unknown section \"nosuchsection\"" "an unknown tour section")
message(STATUS "basis records: the session passed")
