#include "data/DatabaseInfo.h"
#include "data/Database.h"

#include <gtest/gtest.h>
#include <ibase.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// An answer as the server lays it out: item, length, count, then length-prefixed strings.
Bytes Answer(const std::vector<std::string>& strings) {
    Bytes body{static_cast<unsigned char>(strings.size())};
    for (const std::string& s : strings) {
        body.push_back(static_cast<unsigned char>(s.size()));
        body.insert(body.end(), s.begin(), s.end());
    }
    body.insert(body.begin(), {isc_info_version, static_cast<unsigned char>(body.size() & 0xFF),
                               static_cast<unsigned char>(body.size() >> 8)});
    body.push_back(isc_info_end);
    return body;
}

std::optional<QString> Parse(const Bytes& b) {
    return TDatabaseInfo::ParseVersion(b.data(), static_cast<unsigned>(b.size()));
}

TEST(DatabaseInfoParse, TakesTheFirstOfTheStrings) {
    EXPECT_EQ(Parse(Answer({"LI-V6.3.11.33637 Firebird 3.0", "LI-V6.3.11 Firebird 3.0/tcp"})),
              "LI-V6.3.11.33637 Firebird 3.0");
    EXPECT_EQ(Parse(Answer({""})), "");
    const std::string longest(255, 'x');
    EXPECT_EQ(Parse(Answer({longest})), QString::fromStdString(longest));
}

struct Bad {
    const char* name;
    Bytes bytes;
};

class DatabaseInfoBadAnswer : public ::testing::TestWithParam<Bad> {};

TEST_P(DatabaseInfoBadAnswer, YieldsNothing) {
    EXPECT_FALSE(Parse(GetParam().bytes).has_value());
}

Bytes Cut(Bytes b, size_t n) {
    b.resize(n);
    return b;
}

Bytes WithLength(Bytes b, unsigned length) {
    b[1] = static_cast<unsigned char>(length & 0xFF);
    b[2] = static_cast<unsigned char>(length >> 8);
    return b;
}

Bytes WithStringLength(Bytes b, unsigned char length) {
    b[4] = length;
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DatabaseInfoBadAnswer,
    ::testing::Values(Bad{"empty", {}}, Bad{"onlyItem", {isc_info_version}},
                      Bad{"truncatedMarker", {isc_info_truncated, 0, 0, 0}},
                      Bad{"errorItem", {isc_info_error, 2, 0, 1, 0}},
                      Bad{"otherItem", {isc_info_db_id, 2, 0, 1, 0}}, Bad{"noStrings", Answer({})},
                      Bad{"itemLongerThanBuffer", WithLength(Answer({"abc"}), 400)},
                      Bad{"stringLongerThanItem", WithStringLength(Answer({"abc"}), 200)},
                      Bad{"cutInsideString", Cut(Answer({"LI-V6.3"}), 7)},
                      Bad{"itemTooShort", WithLength(Answer({"abc"}), 1)}),
    [](const ::testing::TestParamInfo<Bad>& info) { return std::string(info.param.name); });

TEST(DatabaseInfo, UnconnectedDatabaseIsAnError) {
    Database db;
    TDatabaseInfo info(&db);
    EXPECT_THROW(info.Version(), EError);
    TDatabaseInfo none;
    EXPECT_THROW(none.Version(), EError);
}

} // namespace
