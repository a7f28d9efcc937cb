# What the scripted sessions of the `basis` tool share: their arguments
# and a new scratch folder, running one subcommand there with its exit
# status checked, and comparing what it left behind. Included first by the
# *Session.cmake scripts, which are given BASIS, EMULATOR and WORK.

if(NOT BASIS OR NOT WORK)
  get_filename_component(session "${CMAKE_SCRIPT_MODE_FILE}" NAME)
  message(FATAL_ERROR "usage: cmake -DBASIS=<program> [-DEMULATOR=<runner>] -DWORK=<folder> -P ${session}")
endif()
# A name outside ASCII on the command line reaches Wine as UTF-8.
set(ENV{LANG} C.UTF-8)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# basis_run(<subcommand> <ok|fail|usage|error> <argument>... [INPUT <file>] [OUTPUT <file>]):
# runs `basis <subcommand>` in the scratch folder and checks its exit status
# (0, 1, 2 or 3: done, the answer is no, usage, input/output or format). Leaves out (unless OUTPUT took it) and err, without CRs, in
# the caller's scope.
function(basis_run subcommand expect)
  cmake_parse_arguments(PARSE_ARGV 2 RUN "" "INPUT;OUTPUT" "")
  set(redirect "")
  if(RUN_INPUT)
    list(APPEND redirect INPUT_FILE "${WORK}/${RUN_INPUT}")
  endif()
  # Files, not pipes: a pipe ends only when every process holding it has
  # gone, and Wine's server, started by the first program, holds on to it
  # for a while after the program has ended.
  set(output "${WORK}/stdout.txt")
  if(RUN_OUTPUT)
    set(output "${WORK}/${RUN_OUTPUT}")
  endif()
  # A status of 1 with nothing written at all, under the emulator, is the
  # emulator failing to start the program, which now and then happens to
  # Wine; such a run is made again, up to twice.
  foreach(attempt 1 2 3)
    execute_process(COMMAND ${EMULATOR} "${BASIS}" ${subcommand} ${RUN_UNPARSED_ARGUMENTS}
                    WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status ${redirect}
                    OUTPUT_FILE "${output}" ERROR_FILE "${WORK}/stderr.txt")
    file(SIZE "${output}" out_size)
    file(SIZE "${WORK}/stderr.txt" err_size)
    if(NOT EMULATOR OR NOT status EQUAL 1 OR out_size GREATER 0 OR err_size GREATER 0)
      break()
    endif()
  endforeach()
  set(out "")
  if(NOT RUN_OUTPUT)
    file(READ "${output}" out)
  endif()
  file(READ "${WORK}/stderr.txt" err)
  string(REPLACE "\r" "" out "${out}")
  string(REPLACE "\r" "" err "${err}")
  set(wanted_ok 0)
  set(wanted_fail 1)
  set(wanted_usage 2)
  set(wanted_error 3)
  if(NOT "${status}" STREQUAL "${wanted_${expect}}")
    message(FATAL_ERROR "basis ${subcommand} ${RUN_UNPARSED_ARGUMENTS}: exit status ${status}, expected ${wanted_${expect}}\n"
                        "stdout:\n${out}\nstderr:\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_match text pattern what)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: \"${pattern}\" not found in:\n${text}")
  endif()
endfunction()

function(expect_same_bytes got wanted)
  file(READ "${WORK}/${got}" got_bytes HEX)
  file(READ "${WORK}/${wanted}" wanted_bytes HEX)
  if(NOT got_bytes STREQUAL wanted_bytes)
    message(FATAL_ERROR "${got} differs from ${wanted}")
  endif()
endfunction()
