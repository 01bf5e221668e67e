// The help files: the real Kestro.hlp and Kestro.cnt, and the reader on
// small inline files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "formats/help_file.h"
#include "model/errors.h"

using namespace kestro;

namespace {

const std::string data_dir = KESTRO_SOURCE_DATA_DIR;

std::string write_temp(const std::string& name, const std::string& bytes)
{
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// The IoError text of reading path, or "" when it reads.
std::string read_error(const std::string& path)
{
    try {
        read_help_file(path);
    } catch (const IoError& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(HelpFile, RealFilesHoldEveryContextTheProgramOpens)
{
    const auto topics = read_help_file(data_dir + "/Kestro.hlp");
    for (int context : {1, 3, 4, 5, 7, 9, 11, 12}) {
        const HelpTopic* topic = find_topic(topics, context);
        ASSERT_NE(topic, nullptr) << "context " << context;
        EXPECT_FALSE(topic->title.empty());
        EXPECT_GT(topic->text.size(), 500u) << "context " << context;
    }
    // The contents list names exactly these topics, with the same titles.
    const auto contents = read_help_contents(data_dir + "/Kestro.cnt");
    ASSERT_EQ(contents.size(), topics.size());
    for (const auto& [context, title] : contents) {
        const HelpTopic* topic = find_topic(topics, context);
        ASSERT_NE(topic, nullptr) << "context " << context;
        EXPECT_EQ(topic->title, title);
    }
}

TEST(HelpFile, ParsesTopicsWithCrLfAndLoneCr)
{
    const std::string path = write_temp("kestro_help_crlf.hlp",
                                        "# comment\r\n\r\n@topic 4 Data help\r\n\r\nFirst line.  \r\n"
                                        "  indented\r\n\r\nSecond paragraph.\r\n\r\n@topic 12 Positions\r"
                                        "Type Y-X.\r");
    const auto topics = read_help_file(path);
    ASSERT_EQ(topics.size(), 2u);
    EXPECT_EQ(topics[0].context, 4);
    EXPECT_EQ(topics[0].title, "Data help");
    EXPECT_EQ(topics[0].text, "First line.\n  indented\n\nSecond paragraph.");
    EXPECT_EQ(find_topic(topics, 12)->text, "Type Y-X.");
    EXPECT_EQ(find_topic(topics, 5), nullptr);

    const auto contents = read_help_contents(write_temp("kestro_help_crlf.cnt", "12 Positions\r\n4 Data help\r\n"));
    ASSERT_EQ(contents.size(), 2u);
    EXPECT_EQ(contents[0], std::make_pair(12, std::string("Positions")));
    EXPECT_EQ(contents[1], std::make_pair(4, std::string("Data help")));
}

TEST(HelpFile, MissingAndMalformedFilesThrow)
{
    const std::string missing = (std::filesystem::temp_directory_path() / "kestro_no_such.hlp").string();
    EXPECT_EQ(read_error(missing), "File not found: " + missing);
    EXPECT_THROW(read_help_contents(missing), IoError);

    EXPECT_EQ(read_error(write_temp("kestro_bad1.hlp", "@topic 1 Ok\ntext\n@topic x Title\n")),
              "Invalid help topic at line 3");
    EXPECT_EQ(read_error(write_temp("kestro_bad2.hlp", "@topic 7\n")), "Invalid help topic at line 1");
    EXPECT_EQ(read_error(write_temp("kestro_bad3.hlp", "@topic7 Title\n")), "Invalid help topic at line 1");
    EXPECT_EQ(read_error(write_temp("kestro_bad4.hlp", "@topic 1 A\n@topic 1 B\n")),
              "Duplicate help topic 1 at line 2");
    EXPECT_EQ(read_error(write_temp("kestro_bad5.hlp", "stray text\n@topic 1 A\n")),
              "Help text before the first topic at line 1");
    EXPECT_THROW(read_help_contents(write_temp("kestro_bad.cnt", "1 Generation\nseven Overview\n")), IoError);
}
