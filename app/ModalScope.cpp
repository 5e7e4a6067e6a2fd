#include "ModalScope.h"

#include <QApplication>

namespace quorrel::app {

namespace {
int g_nModalDepth = 0;
}

CModalScope::CModalScope() { ++g_nModalDepth; }

CModalScope::~CModalScope() { --g_nModalDepth; }

bool CModalScope::IsModalOpen() { return g_nModalDepth > 0 || QApplication::activeModalWidget() != nullptr; }

} // namespace quorrel::app
