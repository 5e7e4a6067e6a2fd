// Fuzz target for the "*.wpp" reader: every input either loads a set that
// keeps the model's invariants (and then generates and renders safely) or is
// refused with CArchiveException.

#include "model/Archive.h"
#include "model/TileParams.h"
#include "model/WppFile.h"
#include "render/ReferenceRenderer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace quorrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto params = std::make_unique<model::CTileParams>();
    try {
        model::LoadWpp({data, size}, *params);
    } catch (const model::CArchiveException&) {
        return 0;
    }
    if (!params->IsValid())
        std::abort();
    // What loaded is exactly the bytes read, written back.
    const auto saved = model::SaveWpp(*params);
    if (saved.size() > size || std::memcmp(saved.data(), data, saved.size()) != 0)
        std::abort();

    // Render a few pixels of it, then generate and render again: any
    // coefficient or correlation value must be safe to use.
    params->m_nWidth = std::min<uint32_t>(params->m_nWidth, 3);
    params->m_nHeight = std::min<uint32_t>(params->m_nHeight, 2);
    render::CRgbImage image(params->m_nWidth, params->m_nHeight);
    render::RenderTileReference(*params, image);
    params->GenerateRandom(static_cast<uint32_t>(size));
    render::RenderTileReference(*params, image);
    return 0;
}
