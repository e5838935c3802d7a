#include "settings/ModelInfoRules.h"

namespace kestrel {

int ModelTypePosition(const MemoryImage& image) {
    return image.byte(ModelInfoMap::ModelType) == ModelInfoMap::Vhf ? 0 : 1;
}

quint8 ModelTypeByte(int position) { return position == 0 ? ModelInfoMap::Vhf : ModelInfoMap::Uhf; }

QStringList ModelTypeItems() { return {QStringLiteral("136 - 174 MHz"), QStringLiteral("400 - 470 MHz")}; }

} // namespace kestrel
