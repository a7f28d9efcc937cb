# The damaged-file sweep: a record file with records, each of its 256
# header bytes inverted in turn, and the file cut short at a dozen sizes.
# Every action runs on every damaged copy and must end with a documented
# exit status (0 done, 1 no, 3 input/output or format; never a signal,
# never a usage error); the actions that only read must leave the file as
# it was, and an add that is refused must leave it byte for byte.
#
#   cmake -DBASIS=<basis> -DDAMAGE=<basis_damage_files> [-DEMULATOR=<runner>] -DWORK=<folder> -P DamageSession.cmake
#
# Under the emulator every run costs a program start, so there the sweep
# takes the low byte of each 32-bit field (bytes 32 to 87), the high byte
# of the block size, free-list count, record count and end offset, and the
# first and last signature bytes instead of all 256.
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ToolSession.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/DamageSweep.cmake")

file(WRITE "${WORK}/text.txt" "a record of text\n")
string(REPEAT "0123456789abcdef" 300 medium)
file(WRITE "${WORK}/medium.txt" "${medium}")
basis_run(records ok create sample.bfr --block 64 --resources 2)
basis_run(records ok add sample.bfr text.txt medium.txt text.txt)
string(REGEX MATCH "^[0-9]+" first "${out}")
file(SIZE "${WORK}/sample.bfr" size)

# A dozen sizes: empty, inside the header, inside the tables, at the data
# area's start, inside and at the ends of records, one byte short.
math(EXPR last "${size} - 1")
math(EXPR middle "${size} / 2")
math(EXPR late "${size} - 64")
set(cuts 0 1 100 255 256 300 600 ${middle} ${late} ${last})
math(EXPR tables "256 + 8 * (128 + 2)")
list(APPEND cuts ${tables} 1400)
damage_make_copies(sample.bfr ${cuts})

if(EMULATOR)
  set(offsets 0 31 43 55 79 83)
  foreach(offset RANGE 32 87 4)
    list(APPEND offsets ${offset})
  endforeach()
else()
  set(offsets "")
  foreach(offset RANGE 0 255)
    list(APPEND offsets ${offset})
  endforeach()
endif()
damage_file_names(files OFFSETS ${offsets} CUTS ${cuts})

set(runs 0)
foreach(damaged IN LISTS files)
  run(${damaged} read-only header ${damaged})
  run(${damaged} read-only check ${damaged})
  run(${damaged} read-only list ${damaged})
  run(${damaged} read-only list ${damaged} --robust)
  file(REMOVE "${WORK}/got.bin")
  run(${damaged} read-only get ${damaged} ${first} --out got.bin)
  run(${damaged} write add ${damaged} text.txt)
  math(EXPR runs "${runs} + 6")
endforeach()
list(LENGTH files count)
message(STATUS "basis records: ${runs} runs on ${count} damaged files, each with a documented status")
