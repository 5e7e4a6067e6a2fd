#include "SettingsRegistry.h"

#include "SettingsLocation.h"

#include <QSettings>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace quorrel::platform {

namespace {

QString KeyOf(const CSettingsRegistry::Location& where, const std::string& name)
{
    const QString value = QString::fromStdString(name);
    return where.group.isEmpty() ? value : where.group + QLatin1Char('/') + value;
}

} // namespace

CSettingsRegistry::Location CSettingsRegistry::Map(const std::string& path)
{
    const QStringList parts = QString::fromStdString(path).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() < 3 || parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0)
        return {};
    return {parts[1], parts[2], parts.mid(3).join(QLatin1Char('/'))};
}

int32_t CSettingsRegistry::OpenKey(model::RegistryRoot, const std::string& path)
{
    const Location where = Map(path);
    if (where.organisation.isEmpty())
        return model::kRegFileNotFound;
    const std::unique_ptr<QSettings> owned = OpenSettings(where.organisation, where.application);
    QSettings& settings = *owned;
    if (!where.group.isEmpty()) {
        settings.beginGroup(where.group);
        if (settings.allKeys().isEmpty())
            return model::kRegFileNotFound;
    }
    return model::kRegSuccess;
}

int32_t CSettingsRegistry::CreateKey(model::RegistryRoot, const std::string& path)
{
    // Groups come into being with their first value.
    return Map(path).organisation.isEmpty() ? model::kRegFileNotFound : model::kRegSuccess;
}

int32_t CSettingsRegistry::QueryValue(model::RegistryRoot, const std::string& path, const std::string& name,
                                      uint32_t& type, std::vector<uint8_t>& data)
{
    const Location where = Map(path);
    if (where.organisation.isEmpty())
        return model::kRegFileNotFound;
    const std::unique_ptr<QSettings> owned = OpenSettings(where.organisation, where.application);
    QSettings& settings = *owned;
    const QVariant value = settings.value(KeyOf(where, name));
    if (!value.isValid())
        return model::kRegFileNotFound;
    QByteArray bytes;
    if (value.typeId() == QMetaType::QByteArray) {
        type = model::kRegBinary;
        bytes = value.toByteArray();
    } else {
        type = model::kRegSz;
        bytes = value.toString().toUtf8();
        bytes.append('\0');
    }
    data.assign(bytes.begin(), bytes.end());
    return model::kRegSuccess;
}

int32_t CSettingsRegistry::SetValue(model::RegistryRoot, const std::string& path, const std::string& name,
                                    uint32_t type, std::span<const uint8_t> data)
{
    const Location where = Map(path);
    if (where.organisation.isEmpty())
        return model::kRegFileNotFound;
    const std::unique_ptr<QSettings> owned = OpenSettings(where.organisation, where.application);
    QSettings& settings = *owned;
    const QByteArray bytes(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    if (type == model::kRegBinary) {
        settings.setValue(KeyOf(where, name), bytes);
    } else {
        // Strings are kept without their terminating NUL.
        const qsizetype end = bytes.indexOf('\0');
        settings.setValue(KeyOf(where, name), QString::fromUtf8(end < 0 ? bytes : bytes.left(end)));
    }
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return model::kRegSuccess;
    if (m_unstored.isEmpty())
        m_unstored = settings.fileName();
    return model::kRegInvalidHandle;
}

QString CSettingsRegistry::UnstoredWarning() const
{
    if (m_unstored.isEmpty())
        return {};
    return QStringLiteral("warning: the settings could not be stored in %1 (is its folder writable?); "
                          "they are lost when the editor ends")
        .arg(m_unstored);
}

namespace {

// Never destroyed: the model keeps a pointer to it as its backend, and the
// exit handler below reads it. Exit handlers and the destructors of static
// objects run interleaved in reverse order of registration, so a static
// object first built after the handler was registered would already be gone
// (its file name freed) when the handler runs. A heap object that is never
// deleted lives until the process ends, whatever the order.
CSettingsRegistry& ProcessRegistry()
{
    static CSettingsRegistry* const registry = new CSettingsRegistry;
    return *registry;
}

} // namespace

void InstallSettingsRegistry()
{
    static const bool once = [] {
        // Told once, when the process ends: settings are stored all along
        // (the last ones as documents close), and a user who cannot keep
        // them hears of it without a message at every change.
        std::atexit([] {
            const QString warning = ProcessRegistry().UnstoredWarning();
            if (!warning.isEmpty())
                std::fprintf(stderr, "quorrel: %s\n", warning.toLocal8Bit().constData());
        });
        return true;
    }();
    (void)once;
    model::SetRegistryBackend(&ProcessRegistry());
}

} // namespace quorrel::platform
