// Fuzz target for the stored-defaults reader: every value either decodes to
// a set that keeps the model's invariants or is ignored.

#include "model/DataObj.h"

#include <cstdlib>
#include <cstring>

using namespace quorrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto params = model::DecodeDefaults({data, size});
    if (!params)
        return 0;
    if (!params->IsValid())
        std::abort();
    const auto encoded = model::EncodeDefaults(*params);
    if (encoded.size() > size || std::memcmp(encoded.data(), data, encoded.size()) != 0)
        std::abort();
    return 0;
}
