#include <gtest/gtest.h>

#include "server/service/ServiceOptions.h"

namespace {

using quelvane::server::parseServiceOptions;

TEST(ServiceOptions, ReadsEveryOptionAndItsValue) {
    std::string error;
    const auto options =
        parseServiceOptions({"--postgres", "host=/tmp dbname=w", "--listen", "[::1]:0", "--workers",
                             "0", "--rate", "5", "--trusted-proxy", "10.0.0.1", "--queue-limit",
                             "7", "--max-connections", "3", "--lease", "9", "--page", "web"},
                            error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->postgresUrl, "host=/tmp dbname=w");
    EXPECT_EQ(options->host, "::1");
    EXPECT_EQ(options->port, 0);
    EXPECT_EQ(options->workers, 0);
    EXPECT_EQ(options->rate, 5);
    EXPECT_EQ(options->trustedProxy, "10.0.0.1");
    EXPECT_EQ(options->queueLimit, 7);
    EXPECT_EQ(options->maxConnections, 3);
    EXPECT_EQ(options->leaseSeconds, 9);
    EXPECT_EQ(options->pageFolder, "web");

    const auto hiding = parseServiceOptions({"--data", "d", "--hide", "12"}, error);
    ASSERT_TRUE(hiding) << error;
    EXPECT_EQ(hiding->hide, 12);
    EXPECT_EQ(hiding->port, 8080);
}

TEST(ServiceOptions, RefusesWhatItCannotTakeWithTheReason) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--data", "d", "--frobnicate"}, "unknown argument"},
        {{"--data"}, "needs a value"},
        {{"--data", "d", "--rate", "0"}, "--rate takes"},
        {{"--data", "d", "--workers", "-1"}, "--workers takes"},
        {{"--data", "d", "--lease", "12s"}, "--lease takes"},
        {{"--data", "d", "--queue-limit", "99999999999999999999"}, "--queue-limit takes"},
        {{"--data", "d", "--listen", "localhost"}, "--listen takes"},
        {{"--data", "d", "--listen", "127.0.0.1:65536"}, "--listen takes"},
        {{"--data", "d", "--listen", "[::1:80"}, "--listen takes"},
        {{"--listen", "127.0.0.1:1"}, "either --data DIR or --postgres URL"},
        {{"--data", "d", "--postgres", "u"}, "either --data DIR or --postgres URL"},
        {{"--data", "d", "--hide", "1", "--unhide", "2"}, "one at a time"},
        {{"--data", "d", "--hide", "0"}, "--hide takes"},
        {{"--postgres", "u", "--worker", "--workers", "0"}, "nothing to do"},
        {{"--postgres", "u", "--worker", "--page", "web"}, "serves no page"},
    };
    for (const auto& [args, reason] : refused) {
        std::string error;
        EXPECT_FALSE(parseServiceOptions(args, error)) << args.back();
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
}

}  // namespace
