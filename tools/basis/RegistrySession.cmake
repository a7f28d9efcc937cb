# A session with `basis registry` as a Windows user would run it: add keys
# and values of the three types, query them, export, delete, import the
# export back and export again byte for byte, import a hand-written file,
# and the usual mistakes, each refused with a message. On Linux the stores
# live in the scratch folder; the Windows program works on its emulator's
# registry, below a key of its own that the session removes at the end.
#
#   cmake -DBASIS=<basis program> [-DEMULATOR=<runner>] -DWORK=<scratch folder> -P RegistrySession.cmake
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ToolSession.cmake")

set(KEY "HKCU\\Software\\BasisSession")

# reg(<ok|fail|usage> <argument>...): `basis registry` on the session's stores.
function(reg expect)
  basis_run(registry ${expect} --store "${WORK}/stores" ${ARGN})
  if(NOT expect STREQUAL "ok" AND err STREQUAL "")
    message(FATAL_ERROR "basis registry ${ARGN}: failed without a word on standard error")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# Whatever an earlier run left goes first.
reg(ok add "${KEY}")
reg(ok delete "${KEY}" /f)
reg(fail query "${KEY}")
expect_match("${err}" "unable to find" "a missing key")

reg(ok add "${KEY}\\Sub\\Deeper" /v Answer /t REG_DWORD /d 42)
reg(ok add "${KEY}" /v Greeting /d "Grüße \"quoted\" C:\\path")
reg(ok add "${KEY}" /ve /d "the default")
reg(ok add "${KEY}\\Sub" /v Blob /t REG_BINARY /d 00FF10207f)
reg(ok add "${KEY}" /v Hex /t REG_DWORD /d 0xFFFFFFFF /f)

reg(ok query "${KEY}")
expect_match("${out}" "Greeting    REG_SZ    Grüße \"quoted\" C:\\\\path" "query of a text")
expect_match("${out}" "\\(Default\\)    REG_SZ    the default" "query of the default value")
expect_match("${out}" "Hex    REG_DWORD    0xffffffff" "query of a number")
expect_match("${out}" "BasisSession\\\\Sub\n" "query lists subkeys")
reg(ok query "${KEY}" /s)
expect_match("${out}" "Blob    REG_BINARY    00FF10207F" "recursive query")
expect_match("${out}" "Answer    REG_DWORD    0x2a" "recursive query")
reg(ok query "${KEY}\\SUB" /v blob)
expect_match("${out}" "[Bb]lob    REG_BINARY    00FF10207F" "names match without case")

# Export, delete, import, export: the same bytes. The file is UTF-16LE
# with its BOM and the editor's header.
reg(ok export "${KEY}" first.reg)
file(READ "${WORK}/first.reg" head LIMIT 8 HEX)
if(NOT head STREQUAL "fffe570069006e00")
  message(FATAL_ERROR "export does not start with a BOM and the header: ${head}")
endif()
reg(fail export "${KEY}" first.reg)
reg(ok delete "${KEY}" /f)
reg(fail query "${KEY}\\Sub")
reg(ok import first.reg)
reg(ok export "${KEY}" second.reg)
expect_same_bytes(second.reg first.reg)

# A hand-written file (the older header, ASCII): a value, a deleted value,
# a deleted key.
file(WRITE "${WORK}/edit.reg"
     "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\BasisSession]\n\"Greeting\"=-\n\"New\"=hex(2):41,00,\\\n  00,00\n\n"
     "[-HKEY_CURRENT_USER\\Software\\BasisSession\\Sub\\Deeper]\n")
reg(ok import edit.reg)
reg(ok query "${KEY}" /s)
expect_match("${out}" "New    REG_EXPAND_SZ    A" "an imported value")
if(out MATCHES "Greeting" OR out MATCHES "Deeper")
  message(FATAL_ERROR "import did not delete:\n${out}")
endif()

# A file with a mistake changes nothing.
file(WRITE "${WORK}/bad.reg"
     "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\BasisSession\\Fresh]\n\"a\"=dword:1\n\"b\"=dword:123456789\n")
reg(fail import bad.reg)
expect_match("${err}" "line 5" "the refused line")
reg(fail query "${KEY}\\Fresh")

# Mistakes.
reg(fail query "HKEY_NOWHERE\\Software")
reg(fail add "${KEY}" /v N /t REG_DWORD /d 4294967296)
reg(fail add "${KEY}" /v N /t REG_BINARY /d 0g)
reg(usage add "${KEY}" /v N /t REG_QWORD /d 1)
reg(usage frobnicate "${KEY}")
reg(fail delete "${KEY}" /v Missing)
reg(fail import missing.reg)

reg(ok delete "${KEY}" /v New)
reg(ok delete "${KEY}" /f)
reg(fail query "${KEY}")
