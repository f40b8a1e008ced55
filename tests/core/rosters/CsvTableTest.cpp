#include "core/rosters/CsvTable.h"

#include <gtest/gtest.h>

namespace kivo::testing {
namespace {

std::vector<std::vector<std::string>> Fields(std::string_view text) {
    auto records = ParseCsv(text);
    EXPECT_TRUE(records.ok()) << (records.ok() ? "" : records.error().text);
    std::vector<std::vector<std::string>> out;
    if (records.ok())
        for (const CsvRecord& r : *records)
            out.push_back(r.fields);
    return out;
}

using Rows = std::vector<std::vector<std::string>>;

TEST(CsvTable, FieldsAsSpreadsheetsWriteThem) {
    // Plain fields, CRLF and LF, a byte order mark, empty lines and empty fields.
    EXPECT_EQ(Fields("\xEF\xBB\xBF"
                     "a,b,c\r\n\r\n1,,3\n,\n"),
              (Rows{{"a", "b", "c"}, {"1", "", "3"}, {"", ""}}));
    // Quoted fields with commas, doubled quotes and line breaks; a quote inside a plain field is a
    // character of it.
    EXPECT_EQ(Fields("\"x,y\",\"say \"\"hi\"\"\",\"two\r\nlines\"\nab\"c,\"\"\n"),
              (Rows{{"x,y", "say \"hi\"", "two\r\nlines"}, {"ab\"c", ""}}));
    // Several fields with doubled quotes in one record, and in the next.
    EXPECT_EQ(Fields("\"a\"\"b\",\"c\"\"d\"\n\"e\"\"f\",x\n"), (Rows{{"a\"b", "c\"d"}, {"e\"f", "x"}}));
    // The last record needs no line end; a comma ending the text leaves an empty field.
    EXPECT_EQ(Fields("a,b\n1,2"), (Rows{{"a", "b"}, {"1", "2"}}));
    EXPECT_EQ(Fields("a,b\n1,"), (Rows{{"a", "b"}, {"1", ""}}));
}

TEST(CsvTable, RecordsKnowTheLineTheyStartOn) {
    auto records = ParseCsv("h\n\"one\ntwo\nthree\"\n\nlast\n");
    ASSERT_TRUE(records.ok());
    ASSERT_EQ(records->size(), 3u);
    EXPECT_EQ((*records)[0].line, 1u);
    EXPECT_EQ((*records)[1].line, 2u);
    EXPECT_EQ((*records)[2].line, 6u);
}

TEST(CsvTable, BrokenQuotesAreErrorsNamingTheirLine) {
    auto open = ParseCsv("a\nb\n\"never\nclosed");
    ASSERT_FALSE(open.ok());
    EXPECT_EQ(open.error().text, "line 3: a quoted field is never closed");
    auto after = ParseCsv("a\n\"one\ntwo\"x,b\n");
    ASSERT_FALSE(after.ok());
    EXPECT_EQ(after.error().text, "line 3: text after the closing quote of a field");
}

} // namespace
} // namespace kivo::testing
