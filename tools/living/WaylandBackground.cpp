#include "Background.h"

namespace quorrel::living {

std::unique_ptr<IBackground> OpenWaylandBackground(std::string& error)
{
    error = "this build has no Wayland background";
    return nullptr;
}

} // namespace quorrel::living
