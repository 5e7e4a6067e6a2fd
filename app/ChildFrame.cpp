#include "ChildFrame.h"

#include "platform/desktop/Artwork.h"

namespace quorrel::app {

CChildFrame::CChildFrame()
{
    setWindowIcon(desktop::DocumentIcon());
}

} // namespace quorrel::app
