// The program's arguments as main received them, kept so that a command
// can turn an argument it holds into the file name the user typed: wide,
// and on Windows taken from the wide command line rather than the ANSI
// code page that main's arguments were squeezed through.
#pragma once

#include "Foundation/Basis.h"

void v_KeepArguments(int argc, char** argv);

// The name that argument (a pointer into the kept argv) spells; a text
// that is not one of the kept arguments is read as UTF-8.
void v_GetArgumentName(char const* argument, CT_UString* name);
