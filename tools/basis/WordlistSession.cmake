# A session with `basis wordlist`: lists built from shuffled pairs files in
# one pass and pair by pair must be saved byte for byte alike (wide words
# from UTF-8 and narrow words in a code page, repeated words included),
# then answer lookups both ways and list their pairs in file order. A list
# too large for its 2-byte links fails alike both ways.
#
#   cmake -DBASIS=<basis program> [-DEMULATOR=<runner>] -DWORK=<scratch folder> -P WordlistSession.cmake
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/ToolSession.cmake")

# wordlist(<ok|fail> <argument>...): `basis wordlist` by basis_run.
function(wordlist expect)
  basis_run(wordlist ${expect} ${ARGN})
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# make_pairs(<file> <count> <accented>): count pairs of random words in
# the order they come (unsorted), some of them repeated. With accented, some
# words carry letters outside ASCII (UTF-8).
function(make_pairs file count accented)
  set(text "")
  set(letters "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ")
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    math(EXPR length "2 + ${i} % 7")
    # Line 50 k + 8 repeats the source word of line 50 k + 1 (same seed, same length).
    math(EXPR seed "${i} + 1")
    math(EXPR cycle "${i} % 50")
    if(cycle EQUAL 7)
      math(EXPR seed "${i} - 6")
    endif()
    string(RANDOM LENGTH ${length} ALPHABET "${letters}" RANDOM_SEED ${seed} source)
    string(RANDOM LENGTH 5 ALPHABET "${letters}" RANDOM_SEED ${i}7 target)
    math(EXPR kind "${i} % 11")
    if(accented AND kind EQUAL 3)
      string(APPEND source "é")
    elseif(accented AND kind EQUAL 5)
      string(PREPEND target "Ü")
    endif()
    string(APPEND text "${source}\t${target}\n")
  endforeach()
  file(WRITE "${WORK}/${file}" "${text}")
endfunction()

make_pairs(wide.tsv 3000 ON)
wordlist(ok build wide.tsv fast.bwl)
wordlist(ok build wide.tsv slow.bwl --one-by-one)
expect_same_bytes(fast.bwl slow.bwl)
if(NOT out MATCHES "^3000 pairs from wide.tsv")
  message(FATAL_ERROR "build printed \"${out}\"")
endif()

make_pairs(narrow.tsv 3000 OFF)
wordlist(ok build narrow.tsv fast-narrow.bwl --codepage 1252)
wordlist(ok build narrow.tsv slow-narrow.bwl --codepage 1252 --one-by-one)
expect_same_bytes(fast-narrow.bwl slow-narrow.bwl)

# Lookups both ways and the listing, from the saved list and from the
# pairs file itself; a repeated source word answers with its first pair.
file(STRINGS "${WORK}/wide.tsv" lines ENCODING UTF-8)
foreach(index 0 1 57 1234 2999)
  list(GET lines ${index} line)
  string(REPLACE "\t" ";" words "${line}")
  list(GET words 0 source)
  list(GET words 1 target)
  wordlist(ok target fast.bwl "${target}")
  set(found_source "${out}")
  wordlist(ok target wide.tsv "${target}")
  if(NOT out STREQUAL found_source)
    message(FATAL_ERROR "the pairs file and the saved list disagree on ${target}")
  endif()
  wordlist(ok source fast.bwl "${source}")
endforeach()
list(GET lines 57 repeated)
list(GET lines 50 first)
string(REPLACE "\t" ";" repeated "${repeated}")
string(REPLACE "\t" ";" first "${first}")
list(GET repeated 0 repeated_source)
list(GET first 0 first_source)
list(GET first 1 first_target)
if(NOT repeated_source STREQUAL first_source)
  message(FATAL_ERROR "line 58 should repeat the source word of line 51")
endif()
wordlist(ok source fast.bwl "${repeated_source}")
if(NOT out STREQUAL "${first_target}\n")
  message(FATAL_ERROR "source ${repeated_source} gave \"${out}\", expected its first pair's ${first_target}")
endif()
wordlist(ok list fast.bwl)
file(READ "${WORK}/wide.tsv" pairs)
if(NOT out STREQUAL pairs)
  message(FATAL_ERROR "the list does not give back the pairs in file order")
endif()

# Too many words for 2-byte links: both ways refuse the same pairs.
make_pairs(large.tsv 6000 OFF)
wordlist(fail build large.tsv large-fast.bwl)
set(fast_err "${err}")
wordlist(fail build large.tsv large-slow.bwl --one-by-one)
if(NOT err STREQUAL fast_err OR NOT err MATCHES "could not be indexed")
  message(FATAL_ERROR "the large list failed differently:\n${fast_err}\n---\n${err}")
endif()
