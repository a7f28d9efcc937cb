# Doxygen input filter: lets the headers' plain // comments, which are
# written as the contracts of what follows them, serve as the reference text
# without marking them up for Doxygen.
#  - the comment block that opens a header, ended by `#pragma once`, becomes
#    the file's description (its first sentence the brief);
#  - a // comment on lines of its own documents the declaration after it;
#  - a // comment after `;` or `,` on a declaration's line documents that
#    declaration.
# Every line stays on its line, so Doxygen's line numbers are the header's.
# The comments are plain prose: characters Doxygen would read as commands or
# HTML (\ @ < > &) are escaped, so a comment such as "ends with \n" or
# "CT_HashTable<K, V>" shows as written and raises no warning.
function prose(text) {
    gsub(/[\\@<>&]/, "\\\\&", text)
    return text
}
{ line[NR] = $0 }
END {
    top = 1
    while (top <= NR && line[top] ~ /^\/\//) top++
    if (top > 1 && top <= NR && line[top] ~ /^#[ \t]*pragma[ \t]+once[ \t]*$/) {
        for (i = 1; i < top; i++) {
            text = line[i]
            sub(/^\/\/ ?/, "", text)
            gsub(/\*\//, "* /", text)
            print (i == 1 ? "/** " : "") prose(text)
        }
        # The pragma only guards against double inclusion, which Doxygen
        # does not need; its line closes the description instead.
        print "@file */"
        top++
    } else {
        top = 1
    }
    for (i = top; i <= NR; i++) {
        text = line[i]
        if (text ~ /^[ \t]*\/\/([^\/!]|$)/) {
            at = index(text, "//")
            text = substr(text, 1, at - 1) "///" prose(substr(text, at + 2))
        } else if (text ~ /[;,][ \t]*\/\/ /) {
            match(text, /[;,][ \t]*\/\/ /)
            text = substr(text, 1, RSTART) " ///< " prose(substr(text, RSTART + RLENGTH))
        }
        print text
    }
}
