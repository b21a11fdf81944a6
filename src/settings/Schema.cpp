#include "settings/Schema.h"

#include "text/Texts.h"

namespace zbpg {

void fillSettingsSchema(TRegItems& items) {
    for (const SettingsItem& item : kSettingsItems)
        items.Add(TRegItem(item.name, item.section, item.name, item.defaultText));
}

ListControlDescription shippedDrawSequence() {
    ListControlDescription list;
    list.name = "ListBoxDrawSeq";
    list.left = 16;
    list.top = 40;
    list.width = 145;
    list.height = 49;
    list.itemHeight = 12;
    list.tabOrder = 0;
    list.lines = {texts::kScreenSizeItem, texts::kSystemInfoItem, texts::kFreeMessageItem};
    return list;
}

} // namespace zbpg
