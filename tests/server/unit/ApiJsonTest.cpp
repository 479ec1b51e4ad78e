#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "server/service/ApiJson.h"

namespace {

using namespace quelvane::server;
using nlohmann::json;

TEST(ApiJson, ARunSaysWhatItsStateHasAndItsNameInUtf8) {
    RunInfo run;
    run.id = 7;
    run.name = "Ren\xe9";  // Latin-1, as the name prompt types it
    run.score = 1234;
    run.rules = 0x00ab00000000cdefull;
    run.place = 3;
    run.reason = "left over";
    run.state = RunState::Verified;
    const json verified = json::parse(runJson(run));
    EXPECT_EQ(verified["name"], "Ren\xc3\xa9");
    EXPECT_EQ(verified["rules"], "00ab00000000cdef");
    EXPECT_EQ(verified["place"], 3);
    EXPECT_FALSE(verified.contains("reason"));
    EXPECT_FALSE(verified.contains("same_as"));

    run.state = RunState::Refused;
    run.sameAs = 2;
    const json refused = json::parse(runJson(run));
    EXPECT_EQ(refused["state"], "refused");
    EXPECT_EQ(refused["reason"], "left over");
    EXPECT_EQ(refused["same_as"], 2);
    EXPECT_FALSE(refused.contains("place"));

    const json table = json::parse(tableJson(run.rules, {{1, "\xff", 10, 5, 60000, 7}}));
    EXPECT_EQ(table["rows"][0]["name"], "\xc3\xbf");
    EXPECT_EQ(table["rows"][0]["length_ms"], 60000);
}

TEST(ApiJson, RulesAreExactlySixteenLowercaseHexDigits) {
    EXPECT_EQ(parseRulesHex(rulesHex(0xfedcba9876543210ull)), 0xfedcba9876543210ull);
    EXPECT_EQ(parseRulesHex("0000000000000001"), 1u);
    for (const char* bad : {"", "123", "FEDCBA9876543210", "fedcba987654321g", "0x0000000000001"})
        EXPECT_FALSE(parseRulesHex(bad)) << bad;
}

}  // namespace
