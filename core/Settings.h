#pragma once
// The two persistent stores: the settings key (language and port, as decimal text)
// and Radio.INI beside the program (communication timing, release date).
#include <QString>
#include <QStringList>

namespace kestrel {

// The settings key. On Windows: the registry key under HKEY_LOCAL_MACHINE. Elsewhere:
// an INI file standing for the key path (by default
// ~/.config/SoftWare/Varnel/Kestrel.ini, or the file named by KESTREL_SETTINGS),
// holding the values at its top level.
class SettingsStore {
public:
    // `location`: the INI file to use instead of the default (tests, portable use).
    explicit SettingsStore(const QString& keyPath, const QString& location = QString());

    static QString DefaultLocation(const QString& keyPath);
    QString location() const { return m_location; }

    // Empty text when the key or the value is missing or cannot be read. A file that
    // cannot be parsed throughout still gives the values that can be read.
    QString ReadRegistryText(const QString& valueName) const;
    // True only when the value was stored. A file that could not be read (see
    // damage()) is never written: the user's other values would be lost.
    bool WriteRegistryText(const QString& valueName, const QString& text);

    // A run that remembers nothing (the demo mode): every write is let go unstored
    // and counts as done; reads still see the file.
    void setRemembering(bool on) { m_remembering = on; }
    bool remembering() const { return m_remembering; }

    // Empty while the settings file reads cleanly (or does not exist yet); otherwise
    // which file is damaged and what that means for this run.
    QString damage() const;

private:
    QString m_keyPath;
    QString m_location;
    bool m_native = false;
    bool m_remembering = true;
};

// True when an INI file holds a value serialized as "@Variant(...)": the settings reader
// would decode it blindly (a damaged length asks for gigabytes), so such a file is
// treated as damaged and not read. This program never writes one.
bool HoldsSerializedValue(const QString& fileName);

// Reads [section] key from a profile file. Section and key names match without
// regard to case or surrounding blanks; the value is trimmed. Empty when absent.
QString ReadIniText(const QString& section, const QString& key, const QString& fileName);

// Port value of the settings store as a port number: empty gives 1, a number 0-255
// gives that number (halves to even); text without a leading number or a number
// outside 0-255 gives 1 and a warning in `warning`.
quint8 ParsePortSetting(const QString& text, QString* warning);
// NetworkPort value of the settings store: the network port every transfer goes
// through, empty for Com `portNumber`. Text that starts with neither rfc2217:// nor
// tcp:// gives empty and a warning (the port dialog and the link check the rest).
QString ParseNetworkPortSetting(const QString& text, int portNumber, QString* warning);

struct IniSettings {
    qint16 recvInterval = 20; // ms
    qint16 recvCount = 50;    // receive-timer ticks
    QString releaseDate;
    QStringList warnings; // one line for every value that fell back to its default
};
constexpr qint16 DefaultRecvInterval = 20;
constexpr qint16 DefaultRecvCount = 50;

// ComInterval[ms] must be 1-32767 and ComRecvCount 0-32767; anything else (missing
// file, missing, empty or non-numeric value) falls back to the defaults above.
IniSettings ReadIniSettings(const QString& fileName);

} // namespace kestrel
