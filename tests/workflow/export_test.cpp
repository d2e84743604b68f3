#include <gtest/gtest.h>

#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fake_controls.h"
#include "workflow.h"

namespace dnsbatch {
namespace {

namespace fs = std::filesystem;
using test::FakeControls;
using Rows = std::vector<std::vector<std::string>>;

class ExportTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               fs::path("dnsbatch-导出-" + std::to_string(::getpid()) + "-" +
                        testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        workflow_.setExportDirectory(dir_.string());
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The export file's name on disk is the UTF-8 form of its GBK name.
    fs::path exportFile() const { return dir_ / fs::path("导出的文本.txt"); }

    std::string exported() const
    {
        std::ifstream in(exportFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path dir_;
    FakeControls controls_;
    Workflow workflow_{controls_, [](std::string_view) { return std::string(); }};
};

struct ExportCase {
    const char *label;
    Rows rows;
    std::string file;
};

void PrintTo(const ExportCase &c, std::ostream *os) { *os << c.label; }

class ExportRows : public ExportTest, public testing::WithParamInterface<ExportCase> {};

TEST_P(ExportRows, OneLinePerRowWithoutTheLocation)
{
    std::ofstream(exportFile(), std::ios::binary) << "an earlier export that was much longer\r\n";
    controls_.rows = GetParam().rows;
    workflow_.exportResults();
    EXPECT_EQ(exported(), GetParam().file);
    workflow_.exportResults();  // a second export rewrites, never appends
    EXPECT_EQ(exported(), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportRows,
    testing::Values(
        ExportCase{"empty_table", {}, ""},
        ExportCase{"one_row_31_bytes", {{"x.example", "y.example", "192.0.2.1", "somewhere"}},
                   "x.example,y.example,192.0.2.1\r\n"},
        ExportCase{"three_rows_in_order",
                   {{"a", "a", "1.1.1.1", "L"}, {"b", "c", "2.2.2.2", ""}, {"d", "e", "3.3.3.3", "L"}},
                   "a,a,1.1.1.1\r\nb,c,2.2.2.2\r\nd,e,3.3.3.3\r\n"},
        ExportCase{"comma_inside_a_cell_unquoted", {{"a,b", "c", "1.2.3.4", ""}}, "a,b,c,1.2.3.4\r\n"},
        ExportCase{"empty_name_cell", {{"a", "", "1.2.3.4", ""}}, "a,,1.2.3.4\r\n"},
        ExportCase{"gbk_cells_byte_for_byte", {{"\xD6\xD0\xCE\xC4.cn", "\xB1\xB1.cn", "1.2.3.4", "\xB1\xB1\xBE\xA9"}},
                   "\xD6\xD0\xCE\xC4.cn,\xB1\xB1.cn,1.2.3.4\r\n"}),
    [](const testing::TestParamInfo<ExportCase> &info) { return std::string(info.param.label); });

TEST_F(ExportTest, SingleRowIs31Bytes)
{
    controls_.rows = {{"x.example", "y.example", "192.0.2.1", ""}};
    workflow_.exportResults();
    EXPECT_EQ(fs::file_size(exportFile()), 31u);
}

TEST_F(ExportTest, UnwritablePlacesAreIgnoredQuietly)
{
    controls_.rows = {{"a", "b", "1.2.3.4", ""}};
    fs::create_directory(exportFile());  // the export name is taken by a folder
    workflow_.exportResults();
    EXPECT_TRUE(fs::is_directory(exportFile()));

    workflow_.setExportDirectory((dir_ / "missing").string());
    workflow_.exportResults();
    EXPECT_FALSE(fs::exists(dir_ / "missing"));

    // Every write fails (the file is /dev/full): the export still ends.
    fs::remove(exportFile());
    workflow_.setExportDirectory(dir_.string());
    fs::create_symlink("/dev/full", exportFile());
    controls_.rows.assign(100, {"a", "b", "1.2.3.4", ""});
    workflow_.exportResults();
    SUCCEED();
}

TEST_F(ExportTest, FileHeldLockedByAnotherIsLeftAlone)
{
    std::ofstream(exportFile(), std::ios::binary) << "kept\r\n";
    const int other = ::open(exportFile().c_str(), O_RDONLY);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    controls_.rows = {{"a", "b", "1.2.3.4", ""}};
    workflow_.exportResults();
    EXPECT_EQ(exported(), "kept\r\n");
    ::close(other);
    workflow_.exportResults();
    EXPECT_EQ(exported(), "a,b,1.2.3.4\r\n");
}

TEST(ExportLocation, BesideTheExecutableByDefault)
{
    FakeControls controls;
    Workflow workflow(controls, [](std::string_view) { return std::string(); });
    const fs::path file = fs::read_symlink("/proc/self/exe").parent_path() / fs::path("导出的文本.txt");
    fs::remove(file);
    controls.rows = {{"q", "n", "1.2.3.4", ""}};
    workflow.exportResults();
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "q,n,1.2.3.4\r\n");
    fs::remove(file);
}

}  // namespace
}  // namespace dnsbatch
