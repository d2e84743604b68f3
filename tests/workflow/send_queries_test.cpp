#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "fake_controls.h"
#include "gbk_text.h"
#include "native_path.h"
#include "query_encoder.h"
#include "workflow.h"

namespace dnsbatch {
namespace {

namespace fs = std::filesystem;
using test::FakeControls;
using test::SentDatagram;

// A scratch folder whose name is not ASCII, as users' folders often are.
class WorkflowTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               fs::path(std::string("dnsbatch-域名-") + std::to_string(::getpid()) + "-" +
                        testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        workflow_.initDomainList();
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Writes a list file and returns its path as a text, the way the
    // dialog hands it over.
    std::string listFile(const std::string &name, const std::string &content)
    {
        const fs::path path = dir_ / fs::path(name);
        std::ofstream(path, std::ios::binary) << content;
        return pathText(path.string());
    }

    void load(const std::string &content)
    {
        controls_.dialogAnswers.push_back(listFile("list.txt", content));
        workflow_.loadDomainList();
    }

    fs::path dir_;
    FakeControls controls_;
    Workflow workflow_{controls_, [](std::string_view) { return std::string(); }};
};

TEST_F(WorkflowTest, ListFileBecomesOneQueryPerLineInOrder)
{
    static const char file[] = "  a.com\xA1\xA1\r\n\r\n\xD6\xD0\xCE\xC4.cn\r\nx\r\n\tb.com \xD6\0y\r\nz";
    load(std::string(file, sizeof file - 1));
    ASSERT_EQ(workflow_.domainList(), (DomainList{"  a.com\xA1\xA1", "", "\xD6\xD0\xCE\xC4.cn", "x", "\tb.com \xD6"}));

    workflow_.sendQueries();
    const std::vector<SentDatagram> expected = {
        {"211.138.156.66", 53, encodeQuery("a.com", 0)},
        {"211.138.156.66", 53, encodeQuery("", 0)},
        {"211.138.156.66", 53, encodeQuery("\xD6\xD0\xCE\xC4.cn", 0)},
        {"211.138.156.66", 53, encodeQuery("x", 0)},
        {"211.138.156.66", 53, encodeQuery("\tb.com ", 0)},
    };
    EXPECT_EQ(controls_.sent, expected);
    EXPECT_EQ(controls_.sent[1].bytes.size(), 17u);
    EXPECT_TRUE(controls_.messages.empty());
}

TEST_F(WorkflowTest, PathGoesThroughThePathBox)
{
    const std::string path = listFile("名单.txt", "a.com\r\n");
    controls_.dialogAnswers = {path};
    workflow_.loadDomainList();
    EXPECT_EQ(controls_.boxes[EditBox::path], path);
    EXPECT_EQ(workflow_.domainList(), (DomainList{"a.com"}));
}

TEST_F(WorkflowTest, EmptyListShowsTheMessageAndSendsNothing)
{
    workflow_.sendQueries();
    ASSERT_EQ(controls_.messages.size(), 1u);
    EXPECT_EQ(controls_.messages[0].text, gbk::kNoNamesLoaded);
    EXPECT_EQ(controls_.messages[0].caption, gbk::kInformation);
    EXPECT_EQ(controls_.messages[0].text, "\xB5\xBC\xC8\xEB\x30\xB8\xF6\xD3\xF2\xC3\xFB");
    EXPECT_TRUE(controls_.sent.empty());

    load("");  // an empty file loads an empty list
    workflow_.sendQueries();
    EXPECT_EQ(controls_.messages.size(), 2u);
    EXPECT_TRUE(controls_.sent.empty());
}

TEST_F(WorkflowTest, CancelledDialogChangesNothing)
{
    load("a.com\r\nb.com");
    const std::string pathBefore = controls_.boxes[EditBox::path];
    controls_.dialogAnswers.push_back("");  // cancel
    workflow_.loadDomainList();
    EXPECT_EQ(controls_.boxes[EditBox::path], pathBefore);
    EXPECT_EQ(workflow_.domainList(), (DomainList{"a.com", "b.com"}));
}

TEST_F(WorkflowTest, UnreadableFileGivesAnEmptyList)
{
    load("a.com");
    controls_.dialogAnswers.push_back(pathText((dir_ / "missing.txt").string()));
    workflow_.loadDomainList();
    EXPECT_TRUE(workflow_.domainList().empty());

    load("a.com");
    controls_.dialogAnswers.push_back(pathText(dir_.string()));  // a folder, not a file
    workflow_.loadDomainList();
    EXPECT_TRUE(workflow_.domainList().empty());
}

TEST_F(WorkflowTest, FileVanishingBetweenTheDialogAndTheReadGivesAnEmptyList)
{
    load("a.com");
    const std::string path = listFile("vanishing.txt", "b.com\r\nc.com");
    controls_.dialogAnswers.push_back(path);
    controls_.afterSetEditText = [&] { fs::remove(nativePath(path)); };
    workflow_.loadDomainList();
    EXPECT_EQ(controls_.boxes[EditBox::path], path);
    EXPECT_TRUE(workflow_.domainList().empty());
    EXPECT_TRUE(controls_.messages.empty());
}

TEST_F(WorkflowTest, SecondLoadReplacesTheFirst)
{
    load("a.com\r\nb.com");
    load("c.com");
    EXPECT_EQ(workflow_.domainList(), (DomainList{"c.com"}));
}

TEST_F(WorkflowTest, ServerBoxIsReadForEveryQueryAndFailuresDoNotStopTheLoop)
{
    load("a\r\nb\r\nc");
    int sends = 0;
    controls_.sendSucceeds = false;
    controls_.afterSend = [&] { controls_.boxes[EditBox::server] = sends++ == 0 ? "" : "dns.example"; };
    workflow_.sendQueries();
    ASSERT_EQ(controls_.sent.size(), 3u);
    EXPECT_EQ(controls_.sent[0].address, "211.138.156.66");
    EXPECT_EQ(controls_.sent[1].address, "");
    EXPECT_EQ(controls_.sent[2].address, "dns.example");

    workflow_.sendQueries();  // every press sends the whole list again
    EXPECT_EQ(controls_.sent.size(), 6u);
}

}  // namespace
}  // namespace dnsbatch
