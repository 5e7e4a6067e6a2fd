#include "ChildFrame.h"

#include <QIcon>

namespace quorrel::app {

CChildFrame::CChildFrame()
{
    setWindowIcon(QIcon(QStringLiteral(":/images/quorrel.png")));
}

} // namespace quorrel::app
