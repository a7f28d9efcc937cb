#include "tools/basis/RecordsManifest.h"

#include "Foundation/Database/RecordManager/RecordManager.h"

char const kManifestFirstLine[] = "basis records dump 1";

namespace {

// Bounds on a manifest's geometry: those of create, which made the file
// the dump came from or could have made it.
unsigned const kMinimumBlockSize = 8;
unsigned const kMaximumBlockSize = 1u << 24;
unsigned const kMaximumResources = 1u << 20;

// A decimal number of at most 32 bits, digits only.
bool b_Number(std::string const& text, unsigned* value) {
    if (text.empty() || text.size() > 10) return false;
    unsigned long long number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + unsigned(c - '0');
    }
    if (number > 0xFFFFFFFFull) return false;
    *value = static_cast<unsigned>(number);
    return true;
}

}  // namespace

bool b_ParseManifest(std::string const& text, std::string const& where, st_Manifest* manifest, std::string* failure) {
    bool geometry[3] = {false, false, false};
    std::size_t at = 0;
    for (unsigned line = 1; at < text.size(); ++line) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string content = text.substr(at, end - at);
        at = end + 1;
        if (!content.empty() && content.back() == '\r') content.pop_back();
        auto wrong = [&](std::string const& why) {
            *failure = where + ":" + std::to_string(line) + ": " + why;
            return false;
        };
        if (line == 1) {
            if (content != kManifestFirstLine)
                return wrong(std::string("not a dump manifest (the first line is not \"") + kManifestFirstLine + "\")");
            continue;
        }
        if (content.empty()) continue;
        std::vector<std::string> words;
        for (std::size_t from = 0; from <= content.size();) {
            std::size_t space = content.find(' ', from);
            if (space == std::string::npos) space = content.size();
            words.push_back(content.substr(from, space - from));
            from = space + 1;
        }
        std::vector<unsigned> numbers(words.size(), 0);
        for (std::size_t k = 1; k < words.size(); ++k)
            if (!b_Number(words[k], &numbers[k]))
                return wrong("\"" + words[k] + "\" is not a number from 0 to 4294967295");
        std::string const& key = words[0];
        char const* const names[3] = {"block-size", "record-header-size", "resource-maximum"};
        unsigned* const fields[3] = {&manifest->so_Geometry.n_BlockSize, &manifest->so_Geometry.n_HeaderSize,
                                     &manifest->so_Geometry.n_ResourceMax};
        bool known = false;
        for (int g = 0; g < 3; ++g) {
            if (key != names[g]) continue;
            if (words.size() != 2 || geometry[g]) return wrong("expected one \"" + key + " <number>\" line");
            *fields[g] = numbers[1];
            geometry[g] = known = true;
        }
        if (known) continue;
        if (key != "record" && key != "resource") return wrong("\"" + key + "\" is not a manifest line");
        if (!(geometry[0] && geometry[1] && geometry[2])) return wrong("the geometry must come before the contents");
        if (words.size() != 3) return wrong("expected \"" + key + " <number> <length>\"");
        bool record = key == "record";
        std::vector<unsigned>& list = record ? manifest->an_Records : manifest->an_Resources;
        if (!list.empty() && numbers[1] <= list.back())
            return wrong(std::string(record ? "record numbers" : "resource keys") + " must rise");
        list.push_back(numbers[1]);
        (record ? manifest->an_RecordSizes : manifest->an_ResourceSizes).push_back(numbers[2]);
    }
    auto wrong = [&](std::string const& why) {
        *failure = where + ": " + why;
        return false;
    };
    if (!(geometry[0] && geometry[1] && geometry[2])) return wrong("the geometry is missing");
    st_RecordGeometry const& g = manifest->so_Geometry;
    if (g.n_BlockSize < kMinimumBlockSize || g.n_BlockSize > kMaximumBlockSize)
        return wrong("the block size must lie between " + std::to_string(kMinimumBlockSize) + " and " +
                     std::to_string(kMaximumBlockSize));
    if (g.n_HeaderSize > g.n_BlockSize - 8) return wrong("the record header and 8 bytes must fit in a block");
    if (g.n_ResourceMax > kMaximumResources || manifest->an_Resources.size() > g.n_ResourceMax)
        return wrong("more resources than the resource maximum, or a maximum over " +
                     std::to_string(kMaximumResources));
    unsigned long long tables =
        CT_RecordManager::e_HeaderSize + 8ull * (CT_RecordManager::e_FreeListCapacity + 0ull + g.n_ResourceMax);
    unsigned long long start = (tables - 1) / g.n_BlockSize * g.n_BlockSize + g.n_BlockSize;
    if (!manifest->an_Records.empty() &&
        static_cast<unsigned long long>(manifest->an_Records.front()) * g.n_BlockSize < start)
        return wrong("record " + std::to_string(manifest->an_Records.front()) + " lies before the data area");
    return true;
}

