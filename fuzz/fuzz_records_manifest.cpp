// Feeds arbitrary bytes to the parser of a dump folder's manifest, which
// `basis records restore` reads before it makes a file. Whatever the text,
// the parser must not crash or hang, and what it accepts must hold what
// restore relies on: geometry within the bounds of create, record numbers
// and resource keys rising, one length for each, no record before the
// data area and no more resources than slots.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Foundation/Database/RecordManager/RecordManager.h"
#include "tools/basis/RecordsManifest.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    std::string text(reinterpret_cast<char const*>(data), size);
    st_Manifest manifest;
    std::string failure;
    if (!b_ParseManifest(text, "manifest.txt", &manifest, &failure)) {
        if (failure.empty()) std::abort();
        return 0;
    }
    st_RecordGeometry const& g = manifest.so_Geometry;
    if (g.n_BlockSize < 8 || g.n_BlockSize > (1u << 24) || g.n_HeaderSize + 8ull > g.n_BlockSize ||
        g.n_ResourceMax > (1u << 20) || manifest.an_Resources.size() > g.n_ResourceMax)
        std::abort();
    if (manifest.an_Records.size() != manifest.an_RecordSizes.size() ||
        manifest.an_Resources.size() != manifest.an_ResourceSizes.size())
        std::abort();
    for (std::size_t k = 1; k < manifest.an_Records.size(); ++k)
        if (manifest.an_Records[k] <= manifest.an_Records[k - 1]) std::abort();
    for (std::size_t k = 1; k < manifest.an_Resources.size(); ++k)
        if (manifest.an_Resources[k] <= manifest.an_Resources[k - 1]) std::abort();
    unsigned long long tables =
        CT_RecordManager::e_HeaderSize + 8ull * (CT_RecordManager::e_FreeListCapacity + 0ull + g.n_ResourceMax);
    if (!manifest.an_Records.empty() &&
        static_cast<unsigned long long>(manifest.an_Records.front()) * g.n_BlockSize < tables)
        std::abort();
    return 0;
}
