#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include <unistd.h>

#include "fake_controls.h"
#include "native_path.h"
#include "workflow.h"

namespace dnsbatch {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::FakeControls;

class PacingTest : public testing::Test {
protected:
    void load(int names)
    {
        const fs::path file = fs::temp_directory_path() / ("dnsbatch-pacing-" + std::to_string(::getpid()));
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < names; ++i)
            out << "n" << i << ".example\r\n";
        out.close();
        controls_.dialogAnswers = {pathText(file.string())};
        workflow_.loadDomainList();
        fs::remove(file);
    }

    std::set<std::string> distinctQueries() const
    {
        std::set<std::string> queries;
        for (const auto &d : controls_.sent)
            queries.insert(d.bytes);
        return queries;
    }

    FakeControls controls_;
    Workflow workflow_{controls_, [](std::string_view) { return std::string(); }};
};

TEST_F(PacingTest, ServerThatKeepsUpSeesNoPause)
{
    load(1000);
    controls_.afterSend = [&] { ++controls_.arrived; };
    workflow_.sendQueries();
    EXPECT_EQ(controls_.sent.size(), 1000u);
    EXPECT_EQ(controls_.waits, 0);
}

TEST_F(PacingTest, SilentServerCostsOneWaitPerWindow)
{
    load(1000);
    workflow_.setPacing({200, 250ms});
    workflow_.sendQueries();
    EXPECT_EQ(controls_.sent.size(), 1000u);
    EXPECT_EQ(distinctQueries().size(), 1000u);  // every query once, none repeated
    EXPECT_EQ(controls_.waits, 4);                // after 200, 400, 600 and 800
    EXPECT_EQ(controls_.waited, 1000ms);
}

TEST_F(PacingTest, ServerAnsweringEveryOtherQueryStillEnds)
{
    load(1000);
    workflow_.setPacing({200, 250ms});
    controls_.afterSend = [&] { controls_.arrived += controls_.sent.size() % 2; };
    workflow_.sendQueries();
    EXPECT_EQ(controls_.sent.size(), 1000u);
    EXPECT_EQ(distinctQueries().size(), 1000u);
    // The window fills after 400 sends with 200 unanswered, and again 200
    // answers later...: a handful of waits, each at most 250 ms.
    EXPECT_LE(controls_.waited, 1000ms);
}

TEST_F(PacingTest, WindowZeroSendsWithoutPause)
{
    load(500);
    workflow_.setPacing({0, 250ms});
    workflow_.sendQueries();
    EXPECT_EQ(controls_.sent.size(), 500u);
    EXPECT_EQ(controls_.waits, 0);
}

}  // namespace
}  // namespace dnsbatch
