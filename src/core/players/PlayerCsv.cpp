#include "core/players/PlayerCsv.h"

#include "core/support/FixedText.h"

namespace kivo {

std::string CsvField(const std::string& utf8) {
    const bool edgeBlank = !utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' ');
    if (!edgeBlank && utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
    std::string quoted = "\"";
    for (char c : utf8)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string PlayerCsvHeader() {
    return "country_name,team,division,nationality,shirt,name,position,passing,shooting,heading,tackling,"
           "ball_control,speed,finishing,price,country,mark\r\n";
}

std::string PlayerCsvLine(const PlayerRow& row) {
    const PlayerRowTexts texts = RowTexts(row);
    auto text = [](const std::string& latin1) { return CsvField(Latin1ToUtf8(TrimRight(latin1))); };
    std::string line = text(texts.country) + ',' + text(texts.team) + ',' + text(texts.division) + ',' +
                       text(texts.nationality) + ',' + std::to_string(row.nroCamiseta) + ',' +
                       text(texts.name) + ',' + text(texts.position);
    for (auto skill : row.skills)
        line += ',' + std::to_string(skill);
    line +=
        ',' + text(texts.price) + ',' + std::to_string(row.pais) + ',' + std::to_string(row.marca) + "\r\n";
    return line;
}

} // namespace kivo
