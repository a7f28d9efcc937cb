# A session with `basis ini` as a user would run it: read, write, delete
# and list over a hand-written file, and the usual mistakes.
#
#   cmake -DBASIS=<basis program> [-DEMULATOR=<runner>] -DWORK=<scratch folder> -P IniSession.cmake
#
# File names carry a folder ("./"), as a bare name means the Windows folder
# to the Windows build.
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ToolSession.cmake")

function(ini expect)
  basis_run(ini ${expect} ${ARGN})
  if(NOT expect STREQUAL "ok" AND err STREQUAL "")
    message(FATAL_ERROR "basis ini ${ARGN}: failed without a word on standard error")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

function(expect_out text what)
  if(NOT out STREQUAL "${text}")
    message(FATAL_ERROR "${what}: printed \"${out}\", expected \"${text}\"")
  endif()
endfunction()

string(ASCII 13 cr)
set(nl "${cr}\n")
file(WRITE "${WORK}/settings.ini"
     "; window settings${nl}[Main]${nl}  Width = 10 ${nl}Title = \"My window\"${nl}${nl}[Colors]${nl}Back=blue")

ini(ok get ./settings.ini MAIN width)
expect_out("10\n" "get")
ini(ok get ./settings.ini main title)
expect_out("My window\n" "get of a quoted value")
ini(fail get ./settings.ini main depth)
ini(ok set ./settings.ini Main Height 20)
ini(ok get ./settings.ini main height)
expect_out("20\n" "get after set")
ini(ok set ./settings.ini Fonts Size 12)
ini(ok sections ./settings.ini)
expect_out("Main\nColors\nFonts\n" "sections")
ini(ok keys ./settings.ini main)
expect_out("Width\nTitle\nHeight\n" "keys")
if(NOT EMULATOR)
  # Only the written lines changed; the system's own writer under Wine
  # writes every line anew.
  file(WRITE "${WORK}/wanted.ini" "; window settings${nl}[Main]${nl}  Width = 10 ${nl}Title = \"My window\"${nl}Height=20${nl}${nl}[Colors]${nl}Back=blue${nl}[Fonts]${nl}Size=12${nl}")
  expect_same_bytes(settings.ini wanted.ini)
endif()
ini(ok delete ./settings.ini main width)
ini(fail get ./settings.ini main width)
ini(ok delete ./settings.ini colors)
ini(ok sections ./settings.ini)
expect_out("Main\nFonts\n" "sections after delete")

# A new file: CR LF line ends.
ini(ok set ./new.ini Section key value)
file(WRITE "${WORK}/new-wanted.ini" "[Section]${nl}key=value${nl}")
expect_same_bytes(new.ini new-wanted.ini)

ini(fail set ./no/such/folder/x.ini s k v)
ini(usage frob ./settings.ini)
ini(usage get ./settings.ini main)
ini(usage delete ./settings.ini)
ini(ok --help)
expect_match("${out}" "basis ini get" "help")
# A usage mistake is one line that names it and points at --help.
basis_run(ini usage --bogus)
expect_match("${err}" "^basis ini: unknown option \"--bogus\"; see basis ini --help\n$" "an unknown option")
basis_run(ini usage get ./settings.ini main)
expect_match("${err}" "^basis ini: get takes 3 arguments; see basis ini --help\n$" "a wrong argument count")
