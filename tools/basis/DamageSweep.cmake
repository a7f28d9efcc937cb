# What the damaged-file sweeps share (DamageSession.cmake for the reading
# and adding actions, MaintainDamageSession.cmake for the maintenance ones):
# the damaged copies of a record file, their names, and one action run on
# one copy with its checks. Include after ToolSession.cmake; BASIS, DAMAGE,
# EMULATOR and WORK are the session's.

# damage_make_copies(<source> <cut>...): writes into WORK/damaged a copy of
# WORK/<source> with each of its 256 header bytes inverted
# (flip-NNN.bfr) and a copy cut at each size (cut-N.bfr).
function(damage_make_copies source)
  file(MAKE_DIRECTORY "${WORK}/damaged")
  execute_process(COMMAND ${EMULATOR} "${DAMAGE}" "${WORK}/${source}" "${WORK}/damaged" ${ARGN}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "basis_damage_files failed: ${status}")
  endif()
endfunction()

# damage_file_names(<variable> OFFSETS <offset>... CUTS <cut>...): the
# names, relative to WORK, of the copies with those header bytes inverted
# and of those cut at those sizes.
function(damage_file_names variable)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "OFFSETS;CUTS")
  set(names "")
  foreach(offset IN LISTS ARG_OFFSETS)
    string(LENGTH "00${offset}" length)
    math(EXPR from "${length} - 3")
    string(SUBSTRING "00${offset}" ${from} 3 padded)
    list(APPEND names "damaged/flip-${padded}.bfr")
  endforeach()
  foreach(cut IN LISTS ARG_CUTS)
    list(APPEND names "damaged/cut-${cut}.bfr")
  endforeach()
  set(${variable} "${names}" PARENT_SCOPE)
endfunction()

# run(<file> <read-only|write> <argument>...): one `basis records` action on
# one file. It must end with a documented status (0, 1 or 3; never a signal
# or a usage error), say something on standard error when it fails, leave
# the file as it was when it only reads, and leave it byte for byte when a
# write is refused.
function(run file kind)
  file(MD5 "${WORK}/${file}" before)
  execute_process(COMMAND ${EMULATOR} "${BASIS}" records ${ARGN}
                  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status
                  OUTPUT_FILE "${WORK}/stdout.txt" ERROR_FILE "${WORK}/stderr.txt" TIMEOUT 60)
  file(READ "${WORK}/stderr.txt" err)
  if(NOT status MATCHES "^[013]$")
    message(FATAL_ERROR "basis records ${ARGN}: exit status \"${status}\", not 0, 1 or 3\n${err}")
  endif()
  if(NOT status EQUAL 0 AND err STREQUAL "")
    message(FATAL_ERROR "basis records ${ARGN}: status ${status} without a word on standard error")
  endif()
  file(MD5 "${WORK}/${file}" after)
  if(NOT before STREQUAL after AND (kind STREQUAL "read-only" OR NOT status EQUAL 0))
    message(FATAL_ERROR "basis records ${ARGN} (status ${status}) changed ${file}\n${err}")
  endif()
endfunction()
