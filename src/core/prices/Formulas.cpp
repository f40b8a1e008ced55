#include "core/prices/Formulas.h"

#include <cctype>

#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"

namespace kivo {

namespace {

constexpr std::array<FormulaInfo, kFormulaCount> kInfos = {{
    {FormulaRole::Back, "Back", "Back Formula:", "FormulaMarcadorPunta",
     "75k*pa+100k*he+200k*(ta-7)+150k*(bc-4)+150k*(sp-7)"},
    {FormulaRole::Defender, "Defender", "Defender Formula:", "FormulaMarcadorCentral",
     "200k*(he-8)+300k*(ta-9)+50k*bc+50k*sp"},
    {FormulaRole::Wing, "Wing", "Wing Formula:", "FormulaVolanteLateral",
     "200k*(pa-7)+200k*(sh-5)+75k*(ta-2)+200k*(bc-8)+200k*(sp-7)+150k*(fi-2)"},
    {FormulaRole::Midfield, "Midfield", "Midfield Formula:", "FormulaVolanteCentral",
     "250k*(pa-6)+200k*(sh-5)+250k*(ta-7)+150k*(bc-2)+100k*sp+100k*fi"},
    {FormulaRole::Attack, "Attack", "Attack Formula:", "FormulaDelantero",
     "100k*pa+300k*(sh-6)+250k*(he-5)+25k*ta+300k*(bc-8)+300k*(sp-6)+350k*(fi-9)"},
}};

} // namespace

const std::array<FormulaInfo, kFormulaCount>& FormulaInfos() {
    return kInfos;
}
const FormulaInfo& Info(FormulaRole role) {
    return kInfos[static_cast<std::size_t>(role)];
}

FormulaSet DefaultFormulas() {
    FormulaSet set;
    for (std::size_t i = 0; i < kFormulaCount; ++i)
        set[i] = std::string(kInfos[i].defaultText);
    return set;
}

FormulaSet ReadFormulas(const std::string& path) {
    FormulaSet set;
    for (std::size_t i = 0; i < kFormulaCount; ++i) {
        std::string text = ReadIniText(path, kFormulaSection, std::string(kInfos[i].key),
                                       std::string(kInfos[i].defaultText));
        set[i] = text.substr(0, std::min(text.size(), kFormulaWidth));
    }
    return set;
}

bool WriteFormulas(const std::string& path, const FormulaSet& formulas) {
    bool ok = true;
    for (std::size_t i = 0; i < kFormulaCount; ++i)
        ok = WriteIniText(path, kFormulaSection, std::string(kInfos[i].key), formulas[i]) && ok;
    return ok;
}

bool WriteFormula(const std::string& path, FormulaRole role, const std::string& text) {
    return WriteIniText(path, kFormulaSection, std::string(Info(role).key), text);
}

std::optional<FormulaRole> FormulaRoleNamed(std::string_view name) {
    for (const FormulaInfo& info : kInfos) {
        if (info.name.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size(); ++i)
            same = same && std::tolower(static_cast<unsigned char>(name[i])) ==
                               std::tolower(static_cast<unsigned char>(info.name[i]));
        if (same) return info.role;
    }
    return std::nullopt;
}

std::optional<FormulaRole> RoleOfPosition(std::string_view positionText) {
    const std::string p = TrimRight(positionText);
    if (p == "LB" || p == "RB") return FormulaRole::Back;
    if (p == "D") return FormulaRole::Defender;
    if (p == "RW" || p == "LW") return FormulaRole::Wing;
    if (p == "M") return FormulaRole::Midfield;
    if (p == "A") return FormulaRole::Attack;
    return std::nullopt;
}

} // namespace kivo
