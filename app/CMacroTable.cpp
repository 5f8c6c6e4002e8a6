#include "CMacroTable.h"

#include "services/_Settings.h"

namespace {
const char* const kFixedKeys[CMacroTable::kPredefined] = {"Ctrl-S", "Ctrl-I", "Ctrl-U", "Ctrl-D", "Ctrl-O"};
const char* const kFixedTexts[CMacroTable::kPredefined] = {
    "select * from where ", "insert into values()", "update set where ", "delete from where ", "order by "};
} // namespace

CString CMacroTable::KeySetting(int slot) {
    if (slot < kPredefined)
        return "HK" + std::to_string(slot + 1);
    return "UK" + std::to_string(slot - kPredefined);
}

CString CMacroTable::TextSetting(int slot) {
    if (slot < kPredefined)
        return "MAC" + std::to_string(slot + 1);
    return "UM" + std::to_string(slot - kPredefined);
}

void CMacroTable::Register(_Settings& settings) {
    for (int n = 0; n < kPredefined; ++n)
        settings.Add(KeySetting(n).c_str(), S_STRING, S_NOSAVE, kFixedKeys[n]);
    for (int n = 0; n < kPredefined; ++n)
        settings.Add(TextSetting(n).c_str(), S_STRING, S_NOSAVE, kFixedTexts[n]);
    for (int n = 0; n < 10; ++n)
        settings.Add(KeySetting(kPredefined + n).c_str(), S_STRING, S_NOSAVE, "Ctrl-" + std::to_string(n));
    for (int n = 0; n < 10; ++n)
        settings.Add(TextSetting(kPredefined + n).c_str(), S_STRING, 0, "");
}

char CMacroTable::KeyOf(const CString& keyText) {
    return keyText.size() > 5 ? keyText[5] : 0;
}

CArray<MacroSlot> CMacroTable::Slots(_Settings& settings) {
    CArray<MacroSlot> macros;
    for (int slot = 0; slot < kSlots; ++slot) {
        MacroSlot m;
        m.key = KeyOf(settings.getStr(KeySetting(slot).c_str()));
        m.text = settings.getStr(TextSetting(slot).c_str());
        m.slot = slot;
        macros.push_back(std::move(m));
    }
    return macros;
}
