#pragma once
// A print system with the printers a test lists, which takes every job;
// installed for the life of the object.

#include "platform/printing/PrintSystem.h"

namespace quorrel::test {

class CFakePrintSystem final : public platform::IPrintSystem {
public:
    explicit CFakePrintSystem(QStringList printers = {}) : printers(std::move(printers))
    {
        platform::SetPrintSystem(this);
    }
    ~CFakePrintSystem() override { platform::SetPrintSystem(nullptr); }
    CFakePrintSystem(const CFakePrintSystem&) = delete;
    CFakePrintSystem& operator=(const CFakePrintSystem&) = delete;

    platform::PrintersNow Printers() override
    {
        ++asked;
        return {printers, defaultPrinter, {}};
    }
    std::optional<QString> JobStarting(const QString&) override { return std::nullopt; }
    std::optional<QString> HandOver(const platform::PrintJobFile&) override { return std::nullopt; }

    QStringList printers;
    QString defaultPrinter;
    int asked = 0;
};

} // namespace quorrel::test
