// Line-ending repair of input files before a reader parses them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "crystal/line_endings.h"
#include "model/errors.h"

#include "temp_dir.h"

using namespace kestro;
namespace fs = std::filesystem;

namespace {


std::string bytes_of(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string crlf_lines(int n) { std::string s; for (int i = 0; i < n; ++i) s += "\r\n"; return s; }

} // namespace

TEST(LineEndings, FilesWithoutCrLfAreCopiedWithCrLf)
{
    TempDir dir;
    const std::pair<std::string, std::string> cases[] = {
        {"TITL a\rCELL 1\r\rEND", "TITL a\r\nCELL 1\r\n\r\nEND\r\n"}, // CR only, last line unterminated
        {"TITL a\nEND\n", "TITL a\r\nEND\r\n"},                       // LF only
        {"END", "END\r\n"},                                           // short, nothing to probe past
        {"", ""},
        {"A\rB\r\nC\n", "A\r\nB\r\nC\r\n"}, // a lone CR decides at once
        // First CR LF beyond 300 bytes; every line cut at 250 characters.
        {std::string(300, 'x') + "\r\nEND\r\n", std::string(250, 'x') + "\r\nEND\r\n"},
        // Mixed LF and CR LF: a CR LF pair ends one line, no empty line added.
        {"A\nB" + std::string(307, '\n') + "C\r\nD", "A\r\nB" + crlf_lines(307) + "C\r\nD\r\n"},
    };
    for (const auto& [in, out] : cases) {
        const std::string path = dir.write("x.ins", in);
        const std::string copy = repair_line_endings(path);
        EXPECT_EQ(copy, (fs::path(dir.path()) / "x.U.ins").string());
        EXPECT_EQ(bytes_of(copy), out);
        EXPECT_EQ(bytes_of(path), in);
        EXPECT_EQ(dir.entries(), 2); // no temporary file left behind
        fs::remove(copy);
    }
}

TEST(LineEndings, CrLfFilesAreReadAsTheyAreAndMissingOnesThrow)
{
    TempDir dir;
    for (const std::string& text :
         {std::string("TITL a\r\nEND\r\n"), std::string(299, 'x') + "\r\n", std::string("END\r\nx\ry\n")}) {
        const std::string path = dir.write("y.cif", text);
        EXPECT_EQ(repair_line_endings(path), path);
        EXPECT_EQ(dir.entries(), 1);
    }
    const std::string missing = (fs::path(dir.path()) / "none.ins").string();
    try {
        repair_line_endings(missing);
        ADD_FAILURE() << "no IoError";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "File not found: " + missing);
    }
}

TEST(LineEndings, TheCopyStaysBesideTheFile)
{
    EXPECT_EQ(repaired_name("/data/run.1/x.cif"), "/data/run.1/x.U.cif");
    EXPECT_EQ(repaired_name("/data/ab"), "/data/ab.U");
    EXPECT_EQ(repaired_name("dir/x.cell"), "dir/x.U.cell");
}
