#include "game/gamedt.h"

#include <cstdio>
#include <ctime>

namespace obrin {

std::string* TGameData::Field(const std::string& id) {
    std::string* const fields[] = {&FF, &AP, &GN, &SZ, &CP, &SO, &US, &AN, &GC, &GM, &RO, &OT, &PB,
                                   &PW, &BT, &WT, &BR, &WR, &DT, &EV, &PC, &RU, &HA, &KM, &TM, &RE};
    static const char* const names[] = {"FF", "AP", "GN", "SZ", "CP", "SO", "US", "AN", "GC",
                                        "GM", "RO", "OT", "PB", "PW", "BT", "WT", "BR", "WR",
                                        "DT", "EV", "PC", "RU", "HA", "KM", "TM", "RE"};
    for (size_t i = 0; i < std::size(names); ++i)
        if (id == names[i]) return fields[i];
    return nullptr;
}

std::string TodayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%.4d-%.2d-%.2d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return text;
}

}  // namespace obrin
