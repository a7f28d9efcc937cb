// The manifest of a `basis records dump` folder, manifest.txt:
//
//   basis records dump 1
//   block-size 512
//   record-header-size 0
//   resource-maximum 16
//   record 3 12           (number and length, one line per record, rising)
//   resource 7 4          (key and length, one line per resource, rising)
//
// Lines end with LF or CR LF; empty lines are skipped.
#pragma once

#include <string>
#include <vector>

#include "tools/basis/RecordsPlace.h"

extern char const kManifestFirstLine[];

struct st_Manifest {
    st_RecordGeometry so_Geometry;
    std::vector<unsigned> an_Records, an_RecordSizes, an_Resources, an_ResourceSizes;
};

// Reads the manifest's lines (where names it in messages); false with
// *failure naming the line that is wrong. Every number and the geometry
// (the bounds of create) are checked here, so that a damaged manifest
// fails before a file is made: the record numbers and resource keys
// rise, no record lies before the data area, and there are no more
// resources than slots.
bool b_ParseManifest(std::string const& text, std::string const& where, st_Manifest* manifest, std::string* failure);
