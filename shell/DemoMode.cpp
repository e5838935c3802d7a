#include "shell/DemoMode.h"

namespace kestrel {

QString DemoCaptionMark(Language language) {
    return Pick(language, " [Demo: virtual radios]", " [演示: 虚拟电台]");
}

QString DemoStatusText(Language language) {
    return Pick(language, "Demo mode: four virtual radios, no cable needed; no backups, nothing remembered",
                "演示模式：四台虚拟电台，无需数据线；不做备份，不保存设置");
}

} // namespace kestrel
