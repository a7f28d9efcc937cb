// The sections of `basis tour`, one per area of the library, each in its
// own Tour<Area>.cpp. A section prints what it shows and returns 0, or
// prints what went wrong and returns non-zero.
#pragma once

#include <cstdio>
#include <string>

#include "Foundation/Basis.h"

int i_TourFrame();
int i_TourBuffer();
int i_TourString();
int i_TourErrors();
int i_TourTrees();
int i_TourFiles();
int i_TourWordlist();
int i_TourHash();
int i_TourRecords();
int i_TourSharing();
int i_TourIni();
int i_TourLocale();
int i_TourRegistry();
int i_TourCalendar();
int i_TourSync();
int i_TourUtf8Decode();
int i_TourUtf8Encode();

// A new name for a scratch file of the tour (TourScratch.cpp); the
// section removes the file again.
void v_TourScratchName(CT_UString* name, unsigned short const* prefix, unsigned short const* extension);
// Prints a section heading.
void v_TourHeading(char const* title);
// Wide text as UTF-8 for printing.
std::string s_TourNarrow(unsigned short const* text);
// When an error is set: prints "<what> failed: <message>", clears it and
// says so.
bool b_TourFailed(char const* what);
