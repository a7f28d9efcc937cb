// `basis records` maintenance: the actions that change single records and
// resources in place (delete, update, resource), the ones that move a
// whole file's contents (dump, restore, salvage, compact) and the JSON
// forms of list, check and header, with what they share.
#pragma once

#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Database/RecordManager/RecordManager.h"

// RecordsMaintain.cpp. The actions above beside create, add, get, list,
// check and header, by args as Records.cpp checked them (the action, the
// file, the rest).
int i_RunRecordsMaintain(std::vector<char const*> const& args, char const* output, bool robust, bool force);
int i_RecordsDelete(char const* file, std::vector<char const*> const& numbers);
int i_RecordsUpdate(char const* file, char const* number, char const* input);
int i_RecordsSalvage(char const* file, char const* output, bool force);
int i_RecordsCompact(char const* file);
// RecordsResource.cpp: args are the resource action, the file and, by
// action, the key and the input.
int i_RecordsResource(std::vector<char const*> const& args, char const* output, bool force);
// RecordsDump.cpp
int i_RecordsDump(char const* file, char const* folder, bool robust, bool force);
int i_RecordsRestore(char const* file, char const* folder, bool force);
// RecordsJson.cpp
int i_RecordsListJson(char const* file, bool robust);
int i_RecordsHeaderJson(char const* file);

// What the actions above share (RecordsMaintainCommon.cpp).

// A name typed on the command line, and quoted for a message.
CT_UString co_ArgumentName(char const* argument);
std::string s_Quoted(CT_UString const& name);
// Reads a whole input, a file or standard input for "-", into data; the
// bound keeps the record's blocks below the 4 GiB its file's offsets
// reach. False with a message in *failure.
bool b_ReadWholeInput(char const* argument, CT_Buffer* data, std::string* failure);
bool b_ReadFile(CT_UString const& name, CT_Buffer* data, std::string* failure);
// Writes data to a new file, or to standard output for a null or "-"
// name. An existing file is kept unless force. False with *failure.
bool b_WriteOutput(char const* argument, void const* data, unsigned size, bool force, std::string* failure);
// Writes data to the file name, replacing it when replace; the wide form
// for files whose names the tool made.
bool b_WriteFile(CT_UString const& name, void const* data, unsigned size, bool replace, std::string* failure);
// A key or record number from the command line; false with *failure.
bool b_ParseArgumentNumber(char const* text, char const* what, unsigned* value, std::string* failure);
// Whether record number addresses a block inside the file's end offset
// (a number past it must not wrap around onto a record in 32 bits).
bool b_IsInFile(CT_RecordManager const& records, unsigned number);
