// `basis records` maintenance: the actions that change single records and
// resources in place (delete, update, resource), the ones that move a
// whole file's contents (dump, restore, salvage, compact) and the JSON
// forms of list, check and header, with what they share. Every action
// returns the tool's exit code and reports through ToolErrors.h.
#pragma once

#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Database/RecordManager/RecordManager.h"
#include "tools/basis/Records.h"

// RecordsMaintain.cpp. The actions beside create, add, get, list, check
// and header, by the arguments as Records.cpp counted them (the action,
// then the file, then the rest).
int i_RunRecordsMaintain(std::vector<char const*> const& args, st_RecordsOptions const& options);
int i_RecordsDelete(char const* file, std::vector<char const*> const& numbers, st_RecordsOptions const& options);
int i_RecordsUpdate(char const* file, char const* number, char const* input, st_RecordsOptions const& options);
int i_RecordsSalvage(char const* file, char const* output, st_RecordsOptions const& options);
int i_RecordsCompact(char const* file, st_RecordsOptions const& options);
// RecordsResource.cpp: args are the resource action, the file and, by
// action, the key and the input.
int i_RecordsResource(std::vector<char const*> const& args, st_RecordsOptions const& options);
// RecordsDump.cpp
int i_RecordsDump(char const* file, char const* folder, st_RecordsOptions const& options);
int i_RecordsRestore(char const* file, char const* folder, st_RecordsOptions const& options);
// RecordsJson.cpp
int i_RecordsListJson(char const* file, st_RecordsOptions const& options);
int i_RecordsHeaderJson(char const* file, st_RecordsOptions const& options);
int i_RecordsCheckJson(char const* file, st_RecordsOptions const& options);

// What the actions above share (RecordsMaintainCommon.cpp).

// A name typed on the command line.
CT_UString co_ArgumentName(char const* argument);
// Reads a whole input, a file or standard input for "-", into data, at
// most limit bytes. Exit code 0, or the failure's code with *failure set:
// an unreadable input is an input error (3), one too large a refusal (1).
int i_ReadWholeInput(char const* argument, unsigned long long limit, CT_Buffer* data, std::string* failure);
int i_ReadFile(CT_UString const& name, unsigned long long limit, CT_Buffer* data, std::string* failure);
// Writes data to the file name, replacing it when replace, else refusing
// an existing one. False with *failure.
bool b_WriteFile(CT_UString const& name, void const* data, unsigned size, bool replace, std::string* failure);
// Whether record number addresses a block inside the file's end offset
// (a number past it must not wrap around onto a record in 32 bits).
bool b_IsInFile(CT_RecordManager const& records, unsigned number);
// Opens a record file for writing after examining it read-only (a corrupt
// file is refused unless --force); exit code 0 or the failure's.
int i_OpenForWriting(CT_RecordManager* records, CT_UString const& name, st_RecordsOptions const& options);
// A file shorter than its end offset reads as zeros past its end: said on
// standard error, and the action (named in the hint) refused unless force.
// Exit code 0, or the failure's after closing the record file.
int i_RefuseTruncated(CT_RecordManager* records, CT_UString const& name, bool force, char const* action);
// Opens a record file read-only; exit code 0 or the failure's.
int i_OpenForReading(CT_RecordManager* records, CT_UString const& name, st_RecordsOptions const& options);
