# Doxygen input filter: lets the headers' plain // comments, which are
# written as the contracts of what follows them, serve as the reference text
# without marking them up for Doxygen.
#  - the comment block that opens a header, ended by `#pragma once`, becomes
#    the file's description (its first sentence the brief);
#  - a // comment on lines of its own documents the declaration after it;
#  - a // comment after `;` or `,` on a declaration's line documents that
#    declaration.
# Every line stays on its line, so Doxygen's line numbers are the header's.
{ line[NR] = $0 }
END {
    top = 1
    while (top <= NR && line[top] ~ /^\/\//) top++
    if (top > 1 && top <= NR && line[top] ~ /^#[ \t]*pragma[ \t]+once[ \t]*$/) {
        for (i = 1; i < top; i++) {
            text = line[i]
            sub(/^\/\/ ?/, "", text)
            gsub(/\*\//, "* /", text)
            print (i == 1 ? "/** " : "") text
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
        if (text ~ /^[ \t]*\/\/([^\/!]|$)/)
            sub(/\/\//, "///", text)
        else if (text ~ /[;,][ \t]*\/\/ /)
            sub(/[ \t]*\/\/ /, " ///< ", text)
        print text
    }
}
