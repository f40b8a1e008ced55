#include "core/players/PlayerCsv.h"

#include <charconv>

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"

namespace kivo {

namespace {

// A spreadsheet takes a cell that starts with one of these for a formula (and runs it); such a text is
// written after an apostrophe, which spreadsheets read as "this cell is text".
bool StartsLikeFormula(std::string_view text) {
    return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

// Latin-1 bytes up to the first zero, trailing blanks dropped, appended as one UTF-8 CSV field.
void AppendText(std::string_view latin1, std::string& out) {
    std::size_t end = latin1.find('\0');
    if (end == std::string_view::npos) end = latin1.size();
    while (end > 0 && latin1[end - 1] == ' ')
        --end;
    latin1 = latin1.substr(0, end);
    const bool edgeBlank = !latin1.empty() && latin1.front() == ' ';
    const bool quote = edgeBlank || latin1.find_first_of(",\"\r\n") != std::string_view::npos;
    if (quote) out += '"';
    if (StartsLikeFormula(latin1)) out += '\'';
    for (char c : latin1) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            if (c == '"') out += '"';
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    if (quote) out += '"';
}

void AppendField(std::span<const std::uint8_t> field, std::string& out) {
    AppendText(std::string_view(reinterpret_cast<const char*>(field.data()), field.size()), out);
}

void AppendNumber(unsigned value, std::string& out) {
    char digits[4];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// A table's text, or nothing for a code outside the table.
void AppendCode(const std::optional<std::string>& text, std::string& out) {
    if (text) AppendText(*text, out);
}

} // namespace

std::string CsvField(const std::string& utf8) {
    std::string text;
    if (StartsLikeFormula(utf8)) text = '\'';
    text += utf8;
    const bool edgeBlank = !text.empty() && (text.front() == ' ' || text.back() == ' ');
    if (!edgeBlank && text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string PlayerCsvHeader() {
    return "country_name,team,division,nationality,shirt,name,position,passing,shooting,heading,tackling,"
           "ball_control,speed,finishing,price,country,mark\r\n";
}

void AppendPlayerCsvLine(const PlayerRow& row, std::string& out) {
    if (HasCountryName(row.pais)) AppendText(CountryName(row.pais), out);
    out += ',';
    AppendField(row.nombreEquipo, out);
    out += ',';
    AppendCode(DivisionText(row.division), out);
    out += ',';
    AppendCode(NationalityText(row.nacionalidad), out);
    out += ',';
    AppendNumber(row.nroCamiseta, out);
    out += ',';
    AppendField(row.nombreJugador, out);
    out += ',';
    AppendCode(PositionText(row.puesto), out);
    for (auto skill : row.skills) {
        out += ',';
        AppendNumber(skill, out);
    }
    out += ',';
    AppendCode(PriceText(row.valorPase), out);
    out += ',';
    AppendNumber(row.pais, out);
    out += ',';
    AppendNumber(row.marca, out);
    out += "\r\n";
}

std::string PlayerCsvLine(const PlayerRow& row) {
    std::string line;
    AppendPlayerCsvLine(row, line);
    return line;
}

} // namespace kivo
