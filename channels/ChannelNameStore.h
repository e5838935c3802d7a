#pragma once
// The names the editors give channels. The channel record has no room for a name,
// so the store keeps them for the run only and never writes into the image.
#include <QString>
#include <QStringList>

namespace kestrel {

class ChannelNameStore {
public:
    static constexpr int ChannelCount = 128;

    ChannelNameStore() : m_names(ChannelCount) {}

    // Indexes outside 0-127 are ignored.
    void setName(int channelIndex, const QString& name) {
        if (channelIndex >= 0 && channelIndex < ChannelCount)
            m_names[channelIndex] = name;
    }
    QString name(int channelIndex) const {
        return (channelIndex >= 0 && channelIndex < ChannelCount) ? m_names[channelIndex] : QString();
    }

private:
    QStringList m_names;
};

} // namespace kestrel
