#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace lirovox {
namespace {

using test::RunLirovox;

TEST(HyphenateCli, ItalianRulesToStandardOutput) {
    test::TempDir dir;
    std::string lyrics = dir.Write("l.txt", "  ciao bella \nl'amore\n");
    test::RunResult r = RunLirovox({"hyphenate", lyrics});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "cia\r\no \r\nbel\r\nla \r\n---\r\nl'a\r\nmo\r\nre \r\n---\r\n---\r\n");
    EXPECT_EQ(r.err, "");
    test::RunResult same = RunLirovox({"hyphenate", "--rules", "italian", lyrics});
    EXPECT_EQ(same.out, r.out);
}

TEST(HyphenateCli, OtherRulesToAFileInLatin1) {
    test::TempDir dir;
    std::string lyrics = dir.Write("l.txt", "beautiful societ\xC3\xA0\r\n");
    std::string list = dir.File("list.txt");
    test::RunResult r = RunLirovox({"hyphenate", "--rules", "other", lyrics, "-o", list});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::ReadFileBytes(list), "be\r\na\r\nuti\r\nful\r\nsociet\xE0 \r\n---\r\n---\r\n");
}

TEST(HyphenateCli, BadInputAndUsage) {
    test::TempDir dir;
    std::string missing = dir.File("nope.txt");
    test::RunResult r = RunLirovox({"hyphenate", missing});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("lirovox: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(missing), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");

    std::string lyrics = dir.Write("l.txt", "casa\n");
    std::string blocked = dir.File("no-such-folder/list.txt");
    r = RunLirovox({"hyphenate", lyrics, "-o", blocked});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(blocked), std::string::npos) << r.err;

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"hyphenate"},
             {"hyphenate", "--rules", "french", lyrics},
             {"hyphenate", "--rules"},
             {"hyphenate", lyrics, "-o"},
             {"hyphenate", "--fast", lyrics},
             {"hyphenate", lyrics, lyrics},
         }) {
        r = RunLirovox(args);
        EXPECT_EQ(r.exitCode, 2) << args.back() << ": " << r.err;
        EXPECT_NE(r.err.find("usage: lirovox hyphenate"), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace lirovox
