#pragma once
// Registers the ".wpp" documents with the user's desktop at start-up when
// they are not yet: a freedesktop desktop entry that opens them with this
// editor, the shared-mime-info type application/x-quorrel-document ("*.wpp")
// and the icons, all under XDG_DATA_HOME; then refreshes the desktop's
// caches with update-mime-database and update-desktop-database when present.

#include <QString>
#include <QStringList>

namespace quorrel::desktop {

inline constexpr char kMimeType[] = "application/x-quorrel-document";
// The application id: the desktop entry's base name, the AppStream
// component's id and what Wayland shells match the editor's windows with.
inline constexpr char kApplicationId[] = "com.vantorel.Quorrel";
inline constexpr char kDesktopFileName[] = "com.vantorel.Quorrel.desktop";
// The entry's name before the application id existed; the user's copy of it
// is removed when the editor registers under the new name.
inline constexpr char kLegacyDesktopFileName[] = "quorrel.desktop";
inline constexpr char kMimePackageName[] = "quorrel.xml";
inline constexpr char kAppIconName[] = "quorrel";
inline constexpr char kDocumentIconName[] = "application-x-quorrel-document";

struct AssociationSetup {
    QString dataHome;         // where the user's entries go (XDG_DATA_HOME)
    QStringList dataDirs;     // system folders with installed entries (XDG_DATA_DIRS)
    QString executable;       // absolute path of the editor to register
    int toolTimeoutMs = 5000; // for each cache update tool
    bool writeIcons = true;   // needs a QGuiApplication

    // The running editor, with the environment's XDG folders.
    static AssociationSetup ForThisEditor();
};

struct AssociationResult {
    enum class Outcome { AlreadyRegistered, Registered, Failed };
    Outcome outcome = Outcome::Failed;
    QStringList toolsRun;     // cache update tools that ran and finished
    QString error;            // set with Failed
};

class FileAssociation final {
public:
    explicit FileAssociation(AssociationSetup setup);

    // Writes the entries when they are missing or stale; does nothing when
    // the user's entries already match or an installed copy for this same
    // editor exists in the system folders. Either way, a user entry of this
    // editor under the old name is removed (the menu would list it twice).
    AssociationResult RegisterIfMissing() const;
    bool IsRegistered() const;

    // The desktop entry for the user's folder, pointing at `executable`.
    QString DesktopEntryText() const;
    static QByteArray MimeTypeXml();

    QString DesktopEntryPath() const;
    QString LegacyDesktopEntryPath() const;
    QString MimePackagePath() const;

    // Quotes one argument of an Exec line by the desktop entry rules
    // (including the escaping of the string value itself).
    static QString QuoteExecArgument(const QString& argument);

private:
    bool UserEntriesMatch() const;
    bool InstalledForThisEditor() const;
    bool RemoveLegacyEntry() const;
    bool WriteIcons(QString& error) const;
    bool RunTool(const QString& program, const QStringList& arguments) const;

    AssociationSetup m_setup;
};

} // namespace quorrel::desktop
