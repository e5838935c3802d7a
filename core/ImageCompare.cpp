#include "core/ImageCompare.h"

#include "core/ChannelDescription.h"
#include "link/EmbMsgText.h"
#include "settings/SettingsDescription.h"

namespace kestrel {

const QList<Describer>& ViewDescribers() {
    // In address order: the first view that names a byte owns it for the raw lines.
    static const QList<Describer> describers = {
        DescribeChannels,   DescribeDtmf, DescribeChannelBookkeeping, DescribeModelInfo,
        DescribeBandLimits, DescribeKeys, DescribeOptFeatures,        embmsg::DescribeRadioInfo,
    };
    return describers;
}

QList<ImageDifference> CompareImages(const MemoryImage& a, const MemoryImage& b, Language language) {
    return CompareImagesWith(a, b, language, ViewDescribers());
}

} // namespace kestrel
