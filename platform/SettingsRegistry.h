#pragma once
// The registry keys the model asks for, kept in QSettings. A key path
// "Software\<organisation>\<application>\<group>..." maps to the settings
// of that root and application (SettingsLocation.h) and the group below it,
// so on Windows the values land at exactly that registry path and elsewhere
// in the program's own configuration folder.

#include "model/RegistryKey.h"

#include <QString>

namespace quorrel::platform {

class CSettingsRegistry final : public model::IRegistryBackend {
public:
    int32_t OpenKey(model::RegistryRoot root, const std::string& path) override;
    int32_t CreateKey(model::RegistryRoot root, const std::string& path) override;
    int32_t QueryValue(model::RegistryRoot root, const std::string& path, const std::string& name,
                       uint32_t& type, std::vector<uint8_t>& data) override;
    int32_t SetValue(model::RegistryRoot root, const std::string& path, const std::string& name,
                     uint32_t type, std::span<const uint8_t> data) override;

    struct Location {
        QString organisation;
        QString application;
        QString group;   // "/"-separated, may be empty
    };
    // Empty organisation when the path is not below "Software\<org>\<app>".
    static Location Map(const std::string& path);

    // One line about the settings file that could not be written (the
    // first one), or empty when every value was stored.
    QString UnstoredWarning() const;

private:
    QString m_unstored;
};

// Installs one CSettingsRegistry as the model's backend for the process;
// when the process ends, a value that could not be stored gives one line on
// stderr ("quorrel: warning: the settings could not be stored in ...").
void InstallSettingsRegistry();

} // namespace quorrel::platform
