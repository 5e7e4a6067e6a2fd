#pragma once
// A document window: a plain framework window, created visible and maximised.

#include "platform/MDIChildWnd.h"

namespace quorrel::app {

class CChildFrame final : public platform::CMDIChildWnd {
    Q_OBJECT
public:
    CChildFrame();
};

} // namespace quorrel::app
