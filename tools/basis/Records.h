// `basis records`: the actions on record files (one file each for the
// ones that change a file and the ones that only look) and what they share:
// exit codes, error reports with the error manager's locations, opening
// and closing the record file.
#pragma once

#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Database/RecordManager/RecordManager.h"

enum : int { e_RecordsOk = 0, e_RecordsFailed = 1, e_RecordsUsage = 2 };

// RecordsEdit.cpp
int i_RecordsCreate(char const* file, unsigned headerSize, unsigned blockSize, unsigned resources, bool force);
int i_RecordsAdd(char const* file, std::vector<char const*> inputs);
int i_RecordsGet(char const* file, char const* number, char const* output);
// RecordsExamine.cpp
int i_RecordsList(char const* file, bool robust);
int i_RecordsCheck(char const* file);
int i_RecordsHeader(char const* file);

// RecordsReport.cpp
std::string s_Utf8(unsigned short const* text);
std::string s_Utf8(CT_UString const& text);
// Prints "basis records: message" on standard error; returns e_RecordsFailed.
int i_RecordsFail(std::string const& message);
// Whether the error manager holds an error; if so the place is added to
// its locations.
bool b_RecordsFailed(char const* location, unsigned line);
// The error manager's error as the tool reports it: its message (which
// starts with its code), then the places it passed through, innermost
// first. The error is cleared, so that files can still be closed.
std::string s_TakeError();
// Reports the error manager's error after what the tool was doing.
int i_FailWithError(std::string const& doing);
// Close the record file after a failure (taken from the error manager
// first, so that closing is not refused) and report both.
int i_CloseAndFail(CT_RecordManager* records, std::string const& failure);
int i_CloseAndFailWithError(CT_RecordManager* records, std::string const& doing);
// Closes the record file at the end of an action; result, or a failure.
int i_Close(CT_RecordManager* records, int result);
// Opens the record file mapped (the scans read it word by word); false
// with the error set. A file too short for a header fails as one.
bool b_OpenRecords(CT_RecordManager* records, CT_RecordManager::et_OpenMode mode);
// A decimal number of at most 32 bits.
bool b_ParseNumber(char const* text, unsigned* value);
// n rounded up to a whole number of blocks.
unsigned long long n8_Align(unsigned long long n, unsigned block);
