// `basis records` restore, compact and salvage: a new record file built
// from records and resources that come from elsewhere (a dump folder, the
// file being compacted, a damaged file).
//
// A record's number is its fixed part's offset divided by the block size,
// and the record manager places a new record where its allocator finds
// room: at the end offset, in a file without free space. So a record gets
// a chosen number when the end offset stands at that number's block as it
// is added. The builder walks the wanted numbers upwards. A record whose
// body fits before the next wanted number goes in whole; any other goes in
// as its fixed part alone, and its body waits, as the resources do from
// the start. The gap before a wanted number takes the waiting bodies and
// resources that fit (updating a record then puts its body at the end
// offset, since nothing is free yet), and filler records fill the rest.
// What still waits goes at the end; then the fillers are deleted, and
// their blocks are the new file's free space. Only the record manager's
// public operations are used.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Foundation/Basis.h"

struct st_RecordGeometry {
    unsigned n_HeaderSize = 0;
    unsigned n_BlockSize = 512;
    unsigned n_ResourceMax = 0;
};

struct st_RecordContents {
    st_RecordGeometry so_Geometry;
    // Record numbers: ascending when the numbers are kept; otherwise the
    // order in which the records are added.
    std::vector<unsigned> an_Records;
    std::vector<unsigned> an_Resources;  // keys
    // Fill the buffer with a record's or resource's data; the tool's exit
    // code, with a message in the string when it is not 0.
    std::function<int(unsigned number, CT_Buffer* data, std::string* failure)> pf_Record;
    std::function<int(unsigned key, CT_Buffer* data, std::string* failure)> pf_Resource;
};

// Creates the file name (which must not exist, or is replaced) and puts
// the contents into it, the records under their own numbers when
// keepNumbers, else in order under the numbers the file gives them, which
// go to *numbers in the order of contents.an_Records. Returns the tool's
// exit code: on failure the file is removed and *failure says why (the
// file system's or record manager's refusals are errors, 3; contents that
// cannot be placed are a no, 1).
int i_BuildRecordFile(CT_UString const& name, st_RecordContents const& contents, bool keepNumbers,
                       std::vector<unsigned>* numbers, std::string* failure);
