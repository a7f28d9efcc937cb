# What a new user and a hostile one try, replayed: outputs that would
# destroy an input, writes to files that are not sound, truncated files,
# inputs larger than memory, text outside the Basic Multilingual Plane,
# file names that are not UTF-8, exit codes, usage mistakes, numbers, a
# file another process holds, word-list inputs in other encodings, and
# the small manners (plurals, "-", "--opt=value", "--").
#
#   cmake -DBASIS=<basis> -DDAMAGE=<basis_damage_files> [-DEMULATOR=<runner>] -DWORK=<folder> -P MisuseSession.cmake
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ToolSession.cmake")

# A failure always says something on standard error.
function(tool command expect)
  basis_run(${command} ${expect} ${ARGN})
  if(NOT expect STREQUAL "ok" AND err STREQUAL "")
    message(FATAL_ERROR "basis ${command} ${ARGN}: failed without a word on standard error")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# unchanged(<file> <md5 before> <what>)
function(unchanged file before what)
  file(MD5 "${WORK}/${file}" after)
  if(NOT before STREQUAL after)
    message(FATAL_ERROR "${what} changed ${file}")
  endif()
endfunction()

# The same text, whatever the line ends (Windows writes text output with CR LF).
function(expect_same_text got wanted)
  file(READ "${WORK}/${got}" got_text)
  file(READ "${WORK}/${wanted}" wanted_text)
  string(REPLACE "\r" "" got_text "${got_text}")
  if(NOT got_text STREQUAL wanted_text)
    message(FATAL_ERROR "${got} differs from ${wanted}:\n${got_text}")
  endif()
endfunction()

function(write_hex file hex)
  execute_process(COMMAND ${EMULATOR} "${DAMAGE}" --hex "${WORK}/${file}" "${hex}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "writing ${file} failed")
  endif()
endfunction()

file(WRITE "${WORK}/text.txt" "hello world\n")
string(REPEAT "0123456789abcdef" 2000 big)
file(WRITE "${WORK}/big.txt" "${big}")
tool(records ok create r.bfr --block 64 --resources 2)
tool(records ok add r.bfr text.txt big.txt)
string(REGEX MATCH "^[0-9]+" first "${out}")
file(MD5 "${WORK}/r.bfr" sound)

# An output that is the input, or any existing file, is refused; --force
# replaces an existing file that is not the input.
tool(records fail get r.bfr ${first} --out r.bfr)
expect_match("${err}" "is the input" "get --out onto the record file")
unchanged(r.bfr ${sound} "get --out onto the record file")
tool(records fail get r.bfr ${first} --out=text.txt)
expect_match("${err}" "exists; pass --force" "get --out onto an existing file")
tool(records fail get r.bfr ${first} --out r.bfr --force)
unchanged(r.bfr ${sound} "get --out --force onto the record file")
file(WRITE "${WORK}/old.txt" "old")
tool(records ok get r.bfr ${first} --out old.txt --force)
expect_same_bytes(old.txt text.txt)
tool(wordlist fail build text.txt text.txt)
expect_match("${err}" "is the input" "wordlist build onto its input")
tool(wordlist fail build text.txt r.bfr)
unchanged(r.bfr ${sound} "wordlist build onto a record file")

# A refused write keeps every byte and the size: a file of random text,
# a record file with a damaged end offset, one cut short.
string(RANDOM LENGTH 5000 RANDOM_SEED 7 noise)
file(WRITE "${WORK}/noise.bin" "${noise}")
file(MD5 "${WORK}/noise.bin" before)
tool(records error add noise.bin text.txt)
expect_match("${err}" "not a record file" "add to a file that is no record file")
unchanged(noise.bin ${before} "a refused add")
file(MAKE_DIRECTORY "${WORK}/damaged")
file(SIZE "${WORK}/r.bfr" size)
math(EXPR cut "${size} - 100")
execute_process(COMMAND ${EMULATOR} "${DAMAGE}" "${WORK}/r.bfr" "${WORK}/damaged" ${cut} RESULT_VARIABLE status)
file(MD5 "${WORK}/damaged/flip-082.bfr" before)
tool(records fail add damaged/flip-082.bfr text.txt)
expect_match("${err}" "fewer than its end offset" "add to a file with a damaged end offset")
unchanged(damaged/flip-082.bfr ${before} "a refused add")
file(MD5 "${WORK}/damaged/cut-${cut}.bfr" before)
tool(records fail add damaged/cut-${cut}.bfr text.txt)
unchanged(damaged/cut-${cut}.bfr ${before} "a refused add to a truncated file")
tool(records fail check damaged/cut-${cut}.bfr)
expect_match("${out}" "runs past the file's end" "check of a truncated file")
expect_match("${out}" "result +CORRUPT" "check of a truncated file")

# A truncated file does not read back zeros in silence: get and list
# refuse it, and with --force they warn.
tool(records fail get damaged/cut-${cut}.bfr ${first})
expect_match("${err}" "fewer than its end offset" "get from a truncated file")
tool(records ok get damaged/cut-${cut}.bfr ${first} --force)
expect_match("${err}" "warning: .*reads as zeros" "get --force from a truncated file")
tool(records fail list damaged/cut-${cut}.bfr)
tool(records ok list damaged/cut-${cut}.bfr --force)
expect_match("${err}" "warning" "list --force of a truncated file")
tool(records ok add damaged/cut-${cut}.bfr text.txt --force)
expect_match("${err}" "warning: .*corrupt" "add --force to a truncated file")
# The record header size 0 read as 255: more than a 64-byte block holds.
tool(records fail check damaged/flip-044.bfr)
expect_match("${out}" "record header of 255 bytes does not fit" "check of a damaged record header size")
# A free-list count of 255: the problems are listed even though the
# record manager refuses the file, and the verdict is "corrupt".
tool(records fail check damaged/flip-052.bfr)
expect_match("${out}" "free-list count 255 exceeds its capacity 128" "check of a damaged free-list count")
expect_match("${out}" "result +CORRUPT" "check of a damaged free-list count")
tool(records error check missing.bfr)
expect_match("${err}" "cannot check" "check of a missing file")

# Larger than memory: a clear error and status 1 or 3, no abort. Only
# where the size of memory can be limited (a shell's ulimit), and where
# the program starts at all under the limit (not under a sanitizer).
if(NOT EMULATOR AND EXISTS /bin/sh AND EXISTS /dev/zero)
  execute_process(COMMAND /bin/sh -c "ulimit -v 300000 && \"${BASIS}\" --version" RESULT_VARIABLE status
                  OUTPUT_QUIET ERROR_QUIET)
  if(status EQUAL 0)
    file(MD5 "${WORK}/r.bfr" before)
    foreach(command "records add r.bfr /dev/zero" "wordlist list /dev/zero")
      execute_process(COMMAND /bin/sh -c "ulimit -v 300000 && \"${BASIS}\" ${command}"
                      WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
      if(NOT status MATCHES "^[13]$" OR NOT err MATCHES "memory|more than|larger than")
        message(FATAL_ERROR "basis ${command} under a memory limit: status ${status}\n${err}")
      endif()
    endforeach()
    unchanged(r.bfr ${before} "an add whose only input is larger than memory")
    tool(records ok check r.bfr)
  endif()
endif()

# Text outside the BMP comes out as UTF-8 and builds again.
string(ASCII 240 159 152 128 face)
file(WRITE "${WORK}/emoji.tsv" "${face}\tsmile\n")
tool(wordlist ok list emoji.tsv OUTPUT listed.tsv)
expect_same_text(listed.tsv emoji.tsv)
tool(wordlist ok build listed.tsv listed.bwl)
tool(wordlist ok target listed.bwl smile)
expect_match("${out}" "^${face}\n$" "a lookup of a word outside the BMP")

# File names that are not UTF-8 (Linux: any bytes) reach the file system.
if(NOT EMULATOR)
  string(ASCII 233 latin)
  tool(records ok create caf${latin}.bfr)
  if(NOT EXISTS "${WORK}/caf${latin}.bfr")
    message(FATAL_ERROR "a name that is not UTF-8 was changed on the way")
  endif()
  tool(records ok add caf${latin}.bfr text.txt)
endif()

# Exit codes: 1 no, 2 usage, 3 input/output or format.
tool(wordlist error source missing.tsv x)
tool(wordlist fail source emoji.tsv nothere)
tool(records fail get r.bfr 4000000)
if(NOT EMULATOR AND EXISTS /dev/full)
  execute_process(COMMAND "${BASIS}" records list r.bfr WORKING_DIRECTORY "${WORK}"
                  OUTPUT_FILE /dev/full ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 3 OR NOT err MATCHES "writing to standard output")
    message(FATAL_ERROR "list with standard output on a full disk: ${status}\n${err}")
  endif()
  file(COPY_FILE "${WORK}/r.bfr" "${WORK}/full.bfr")
  execute_process(COMMAND "${BASIS}" records add full.bfr text.txt WORKING_DIRECTORY "${WORK}"
                  OUTPUT_FILE /dev/full ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 3 OR NOT err MATCHES "standard output.*record [0-9]+ was stored")
    message(FATAL_ERROR "add with standard output on a full disk: ${status}\n${err}")
  endif()
endif()

# Help everywhere, one-line usage errors, counts said in one line.
basis_run(-h ok)
expect_match("${out}" "usage: basis" "basis -h")
tool(records ok help)
expect_match("${out}" "exit status: 0 done" "basis records help")
tool(wordlist ok help)
expect_match("${out}" "about 2,900 pairs" "basis wordlist help")
tool(wordlist ok --help)
tool(records usage get r.bfr)
expect_match("${err}" "^basis records: get takes a file name and a record number; 1 argument given\nusage:"
             "a wrong argument count")
tool(wordlist usage build only-one.tsv)
expect_match("${err}" "^basis wordlist: build takes" "a wrong argument count")

# Numbers: a sign is no number; too large says so; code pages are checked.
tool(records usage get r.bfr -1)
expect_match("${err}" "needs a number, not \"-1\"" "get -1")
tool(records usage get r.bfr abc)
expect_match("${err}" "needs a number, not \"abc\"" "get abc")
tool(records usage create n.bfr --header 4294967296)
expect_match("${err}" "too large" "--header 4294967296")
foreach(page -1 12345 4294967296)
  tool(wordlist usage list emoji.tsv --codepage ${page})
endforeach()
tool(wordlist ok build emoji.tsv cp.bwl)
expect_match("${out}" "^1 pair from .*code page 65001" "the build's summary")

# Source locations only with --verbose.
tool(records error list missing.bfr)
if(err MATCHES "\n  at ")
  message(FATAL_ERROR "an error shows source locations without --verbose:\n${err}")
endif()
tool(records error list missing.bfr --verbose)
expect_match("${err}" "\n  at " "an error with --verbose")

# A file another process holds: that process is an add reading standard
# input from a command that ends after a few seconds (itself waiting, in
# case a probe reads the file just as it opens it); meanwhile a probe sees
# "in use" and then waits for the file with --wait.
file(WRITE "${WORK}/probe.cmake" "
foreach(try RANGE 1 100)
  execute_process(COMMAND ${EMULATOR} \"${BASIS}\" records check held.bfr WORKING_DIRECTORY \"${WORK}\"
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
  if(err MATCHES \"in use by another process\" AND status EQUAL 3)
    file(WRITE \"${WORK}/saw-in-use\" \"\")
    execute_process(COMMAND ${EMULATOR} \"${BASIS}\" records add held.bfr text.txt --wait 60
                    WORKING_DIRECTORY \"${WORK}\" RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
    file(WRITE \"${WORK}/waited\" \"\${status}\")
    break()
  endif()
  execute_process(COMMAND \"${CMAKE_COMMAND}\" -E sleep 0.2)
endforeach()
")
tool(records ok create held.bfr)
execute_process(COMMAND "${CMAKE_COMMAND}" -E sleep 8
                COMMAND ${EMULATOR} "${BASIS}" records add held.bfr - --wait 30
                COMMAND "${CMAKE_COMMAND}" -P "${WORK}/probe.cmake"
                WORKING_DIRECTORY "${WORK}" RESULTS_VARIABLE statuses OUTPUT_QUIET ERROR_QUIET)
if(NOT EXISTS "${WORK}/saw-in-use")
  message(FATAL_ERROR "no \"in use by another process\" while another process held the file (${statuses})")
endif()
file(READ "${WORK}/waited" waited)
if(NOT waited STREQUAL "0")
  message(FATAL_ERROR "add --wait did not get the file once it was let go: status ${waited}")
endif()
tool(records ok check held.bfr)
expect_match("${out}" "2 stored" "the held file after both adds")

# Word lists in other encodings, over-long lists, duplicates.
write_hex(utf16.tsv "fffe6100090062000a00")
tool(wordlist ok source utf16.tsv a)
expect_match("${out}" "^b\n$" "a UTF-16 pairs file")
tool(wordlist error list utf16.tsv --codepage 1252)
expect_match("${err}" "UTF-16" "a UTF-16 pairs file with --codepage")
string(ASCII 252 uuml)
file(WRITE "${WORK}/latin1.tsv" "gr${uuml}n\tgreen\n")
tool(wordlist error list latin1.tsv)
expect_match("${err}" "--codepage" "a Latin-1 pairs file")
tool(wordlist ok list latin1.tsv --codepage=1252)
file(WRITE "${WORK}/twice.tsv" "a\tb\nc\td\na\te\n")
tool(wordlist ok build twice.tsv twice.bwl)
expect_match("${err}" "twice.tsv:3: the source word \"a\" was given before, on line 1" "a duplicate source word")

# Small manners: plurals, "-" for standard output, "--" before a name
# that starts with a dash.
tool(records ok create one.bfr)
tool(records ok add one.bfr text.txt)
string(REGEX MATCH "^[0-9]+" only "${out}")
tool(records ok list one.bfr)
expect_match("${out}" "\n1 record, 12 bytes" "the singular")
tool(records usage list -)
tool(records ok get one.bfr ${only} --out -)
expect_match("${out}" "^hello world\n$" "get --out -")
tool(wordlist ok build emoji.tsv - OUTPUT piped.bwl)
tool(wordlist ok list piped.bwl OUTPUT again.tsv)
expect_same_text(again.tsv emoji.tsv)
file(COPY_FILE "${WORK}/one.bfr" "${WORK}/-dash.bfr")
tool(records ok check -- -dash.bfr)
message(STATUS "basis: the misuse session passed")
