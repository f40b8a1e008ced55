#pragma once

#include <string>
#include <string_view>

namespace kivo {

// The key by which names are sorted and found without regard to letter case, Latin-1 letters included:
// the name upper-cased over Latin-1 (a..z and à..þ, but not ß, ÷ or ÿ, which have no capital there),
// trailing blanks removed, as UTF-8. "élan", "Élan" and "ÉLAN " have the key "ÉLAN". A blank name has the
// empty key.
std::string NameKey(std::string_view latin1);

// The form in which text is found regardless of letter case and accents: every Latin-1 letter as its
// small plain letter or letters ("Novák" and "NOVAK" both give "novak"; Æ gives "ae", ß "ss", Þ "th"),
// every other byte as it is. The result is Latin-1 (blanks kept: it is for "contains", not for order).
std::string FoldForFind(std::string_view latin1);

// The same key as SQL expressions over a column holding the name as UTF-8, written with SQLite's own
// functions only. The parser takes only so many nested calls, so the key comes in two steps:
// NameKeySqlFirst(column) gives a half-folded text, NameKeySqlSecond(half) the key from it.
std::string NameKeySqlFirst(const std::string& column);
std::string NameKeySqlSecond(const std::string& half);

// An UPDATE that sets `keyColumn` of every row of `table` to the key of its `nameColumn`: how a file made
// before the key column existed gets its keys.
std::string NameKeyFillSql(const std::string& table, const std::string& nameColumn,
                           const std::string& keyColumn);

} // namespace kivo
