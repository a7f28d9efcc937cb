// `basis records`: the actions on record files (one file each for the
// ones that change a file and the ones that only look) and what they share:
// opening and closing the record file, and the checks a file passes before
// it is opened for writing.
#pragma once

#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Database/RecordManager/RecordManager.h"
#include "tools/basis/ToolErrors.h"

// What the actions take from the command line.
struct st_RecordsOptions {
    unsigned n_HeaderSize = 0;
    unsigned n_BlockSize = 512;
    unsigned n_Resources = 16;
    bool b_Force = false;
    bool b_Robust = false;
    bool b_Json = false;
    char const* qccz_Out = nullptr;
    unsigned n_WaitSeconds = 0;
};

// RecordsEdit.cpp
int i_RecordsCreate(char const* file, st_RecordsOptions const& options);
int i_RecordsAdd(char const* file, std::vector<char const*> inputs, st_RecordsOptions const& options);
int i_RecordsGet(char const* file, char const* number, st_RecordsOptions const& options);
// RecordsExamine.cpp
int i_RecordsList(char const* file, st_RecordsOptions const& options);
int i_RecordsCheck(char const* file, st_RecordsOptions const& options);
int i_RecordsHeader(char const* file, st_RecordsOptions const& options);

// RecordsReport.cpp
std::string s_Utf8(unsigned short const* text);
std::string s_Utf8(CT_UString const& text);
// The file name in quotes, for messages.
std::string s_Quoted(CT_UString const& name);
// Close the record file after a failure (taken from the error manager
// first, so that closing is not refused) and report both with code.
int i_CloseAndFail(CT_RecordManager* records, int code, std::string const& failure);
int i_CloseAndFailWithError(CT_RecordManager* records, std::string const& doing);
// Closes the record file at the end of an action; result, or a failure.
int i_Close(CT_RecordManager* records, int result);
// Opens the record file mapped (the scans read it word by word), retrying
// while another process holds it for up to waitSeconds; false with the
// error set. A file too short for a header fails as one.
bool b_OpenRecords(CT_RecordManager* records, CT_RecordManager::et_OpenMode mode, unsigned waitSeconds);
// n rounded up to a whole number of blocks.
unsigned long long n8_Align(unsigned long long n, unsigned block);
