# The damaged-file sweep for the maintenance actions of `basis records`:
# a record file with records and a resource, with the low byte of each
# header field inverted in turn (and a few more bytes) and cut short at a
# dozen sizes. Every action must end with a documented exit status (0, 1
# or 3; never a signal or a usage error, never without a word on standard
# error when it fails). The actions that only read, salvage and dump among
# them, must leave the file as it was; a write that is refused must leave
# it byte for byte.
#
#   cmake -DBASIS=<basis> -DDAMAGE=<basis_damage_files> [-DEMULATOR=<runner>] -DWORK=<folder> -P MaintainDamageSession.cmake
#
# Under the emulator every run costs a program start: there the sweep takes
# fewer damaged copies.
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ToolSession.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/DamageSweep.cmake")

file(WRITE "${WORK}/text.txt" "a record of text\n")
string(REPEAT "0123456789abcdef" 300 medium)
file(WRITE "${WORK}/medium.txt" "${medium}")
basis_run(records ok create sample.bfr --block 64 --resources 2)
basis_run(records ok add sample.bfr text.txt medium.txt text.txt)
string(REGEX MATCH "^[0-9]+" first "${out}")
basis_run(records ok resource set sample.bfr 7 medium.txt)
file(SIZE "${WORK}/sample.bfr" size)

math(EXPR last "${size} - 1")
math(EXPR middle "${size} / 2")
math(EXPR late "${size} - 64")
math(EXPR tables "256 + 8 * (128 + 2)")
set(cuts 0 100 256 ${tables} ${middle} ${late} ${last})
damage_make_copies(sample.bfr ${cuts})

# The low byte of every field from the magic number to the end offset,
# the high byte of the block size, free-list count, resource count and end
# offset, and the signature's first byte; under the emulator the fields
# the new actions lean on most.
if(EMULATOR)
  set(offsets 32 40 44 52 60 76 80 83)
else()
  set(offsets 0 43 55 63 83)
  foreach(offset RANGE 32 84 4)
    list(APPEND offsets ${offset})
  endforeach()
endif()
damage_file_names(files OFFSETS ${offsets} CUTS ${cuts})

set(runs 0)
foreach(damaged IN LISTS files)
  run(${damaged} read-only list ${damaged} --json)
  run(${damaged} read-only check ${damaged} --json)
  run(${damaged} read-only header ${damaged} --json)
  run(${damaged} read-only resource list ${damaged})
  file(REMOVE "${WORK}/got.bin")
  run(${damaged} read-only resource get ${damaged} 7 --out got.bin)
  file(REMOVE_RECURSE "${WORK}/dumped")
  run(${damaged} read-only dump ${damaged} dumped --robust)
  file(REMOVE "${WORK}/saved.bfr")
  run(${damaged} read-only salvage ${damaged} saved.bfr)
  # The writes go to copies, so that each starts from the same damage.
  foreach(action "delete;${first}" "update;${first};text.txt" "resource;set;9;text.txt" "resource;delete;7" "compact")
    configure_file("${WORK}/${damaged}" "${WORK}/write.bfr" COPYONLY)
    set(named "${action}")
    list(GET action 0 verb)
    if(verb STREQUAL "resource")
      list(GET action 1 what)
      list(SUBLIST action 2 -1 rest)
      run(write.bfr write resource ${what} write.bfr ${rest})
    else()
      list(REMOVE_AT action 0)
      run(write.bfr write ${verb} write.bfr ${action})
    endif()
    foreach(left write.bfr.compacting write.bfr.before-compact)
      if(EXISTS "${WORK}/${left}")
        message(FATAL_ERROR "basis records ${named} on ${damaged} left ${left} behind")
      endif()
    endforeach()
  endforeach()
  math(EXPR runs "${runs} + 12")
endforeach()
# A file cut short inside its last record: what reads records says so and
# refuses without --force, and with it warns.
set(short "damaged/cut-${late}.bfr")
basis_run(records fail list ${short} --json)
expect_match("${err}" "fewer than its end offset .*pass --force" "list --json of a short file")
basis_run(records ok list ${short} --json --force)
expect_match("${err}" "warning: .*fewer than its end offset" "list --json --force of a short file")
file(REMOVE_RECURSE "${WORK}/short-dump")
basis_run(records fail dump ${short} short-dump)
basis_run(records ok dump ${short} short-dump --force)
basis_run(records fail resource get ${short} 7)
list(LENGTH files count)
message(STATUS "basis records maintenance: ${runs} runs on ${count} damaged files, each with a documented status")
