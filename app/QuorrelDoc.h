#pragma once
// The document: one parameter set, read and written as a "*.wpp" file. It
// starts from the stored defaults and leaves its own parameters there when
// it is destroyed, so the last document closed sets the next new one's.

#include "platform/Document.h"

#include "model/TileParams.h"

#include <cstdint>

namespace quorrel::app {

class CQuorrelDoc final : public platform::CDocument {
    Q_OBJECT
public:
    CQuorrelDoc();
    ~CQuorrelDoc() override;

    void Serialize(model::CArchive& ar) override;
    bool OnNewDocument() override;
    bool OnOpenDocument(const QString& path) override;
    void OnCloseDocument() override;
    qint64 MaxFileSize() const override;
    // Before the document's windows close: an animation export still
    // running in one of them ends with it, so the user is asked first
    // (No keeps the document open); then the usual save question.
    bool SaveModified() override;
    static inline const QString kExportRunningQuestion =
        QStringLiteral("An animation is still being exported to %1.\n\n"
                       "Stop the export and close? The file will not be written.");

    void LoadDefaults();
    void SaveDefaults();

    model::CTileParams m_params;
    int32_t m_bFromFile = 0;
    // Made from a preset: it has its tile already, so its windows render at
    // once instead of opening the Properties sheet.
    bool m_bFromPreset = false;
};

// Where the stored defaults live.
inline constexpr const char* kDefaultsKey = "Software\\Vantorel\\Quorrel\\DefVals";
inline constexpr const char* kDefaultsValue = "DefVals";

} // namespace quorrel::app
