# A session with `basis wordlist info`, pairs from standard input and the
# JSON forms: the counts and sizes a small list with repeated words and
# letters beyond ASCII reports, the same list built from a file and from
# standard input, and how full the links of a large list are.
#
#   cmake -DBASIS=<basis program> [-DEMULATOR=<runner>] -DWORK=<scratch folder> -P WordlistInfoSession.cmake
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ToolSession.cmake")

function(wordlist expect)
  basis_run(wordlist ${expect} ${ARGN})
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# Five pairs: "Haus" twice as a source word, "Straße" and "Ärger" beyond
# ASCII. Wide words take two bytes a letter and a two-byte terminator.
file(WRITE "${WORK}/small.tsv" "Haus\thouse\nStraße\tstreet\nHaus\thome\nÄrger\ttrouble\nfuß\tfoot\n")
wordlist(ok build small.tsv from-file.bwl)
wordlist(ok build - from-input.bwl INPUT small.tsv)
expect_same_bytes(from-input.bwl from-file.bwl)
wordlist(ok list - INPUT small.tsv)
file(READ "${WORK}/small.tsv" pairs)
if(NOT out STREQUAL pairs)
  message(FATAL_ERROR "list of standard input gave:\n${out}")
endif()

wordlist(ok info from-file.bwl)
expect_match("${out}" "pairs +5\n" "info")
expect_match("${out}" "source +4 distinct words \\(1 word repeated\\), texts 54 bytes" "info")
expect_match("${out}" "target +5 distinct words \\(0 words repeated\\), texts 62 bytes" "info")
expect_match("${out}" "code page 65001" "info")
# The pairs file and the saved list tell the same, but for their names.
wordlist(ok info small.tsv)
string(REPLACE "small.tsv" "from-file.bwl" from_pairs "${out}")
wordlist(ok info from-file.bwl)
if(NOT out STREQUAL from_pairs)
  message(FATAL_ERROR "info of the pairs and of the saved list differ:\n${from_pairs}\n---\n${out}")
endif()
wordlist(ok info small.tsv --codepage 1252)
expect_match("${out}" "words +narrow, code page 1252" "info of narrow words")

wordlist(ok info from-file.bwl --json)
expect_match("${out}" "^\\{\"list\": \"from-file.bwl\", \"words\": \"wide\", \"code_page\": 65001, \"pairs\": 5,\n"
             "info --json")
expect_match("${out}" "\"source\": \\{\"distinct_words\": 4, \"text_bytes\": 54, \"index_bytes\": [0-9]+, \"longest_link\": [0-9]+, \"link_reach\": 65535\\}"
             "info --json")
wordlist(ok list from-file.bwl --json)
expect_match("${out}" "^\\{\"pairs\": \\[\n  \\[\"Haus\", \"house\"\\],\n  \\[\"Straße\", \"street\"\\]," "list --json")
expect_match("${out}" "\\], \"count\": 5\\}\n$" "list --json")
wordlist(ok source from-file.bwl Straße --json)
expect_match("${out}" "^\\{\"source\": \"Straße\", \"target\": \"street\"\\}\n$" "source --json")
wordlist(fail target from-file.bwl nothing --json)
expect_match("${out}" "^\\{\"target\": \"nothing\", \"source\": null\\}\n$" "target --json of a missing word")
wordlist(usage build small.tsv x.bwl --json)

# 2500 pairs of random words fill a good part of what the links reach.
set(letters "abcdefghijklmnopqrstuvwxyz")
set(text "")
foreach(i RANGE 1 2500)
  string(RANDOM LENGTH 6 ALPHABET "${letters}" RANDOM_SEED ${i} source)
  string(RANDOM LENGTH 5 ALPHABET "${letters}" RANDOM_SEED ${i}9 target)
  string(APPEND text "${source}\t${target}\n")
endforeach()
file(WRITE "${WORK}/large.tsv" "${text}")
wordlist(ok info large.tsv --codepage 1252)
string(REGEX MATCH "longest link [0-9]+ of the 65535 bytes its 2 bytes reach \\(([0-9]+)% full\\)" fill "${out}")
if(NOT fill OR CMAKE_MATCH_1 LESS 30)
  message(FATAL_ERROR "a list of 2500 pairs should fill a third of its links' reach:\n${out}")
endif()
message(STATUS "basis wordlist info: the session passed")
