// Every input a fuzzer ever failed on, kept in tests/data/fuzz/<harness>/,
// through the calls of that harness: each must be read, or refused with an
// IoError, without any other exception. Crashes and sanitizer reports show
// in the sanitizer build of CI.

#include <gtest/gtest.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "../fuzz/fuzz_targets.h"
#include "model/file_io.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> saved_inputs(const char* harness)
{
    std::vector<fs::path> files;
    const fs::path folder = fs::path(KESTRO_TEST_DATA_DIR) / "fuzz" / harness;
    if (!fs::is_directory(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST(FuzzReplay, SavedInputsAreReadOrRefusedWithIoError)
{
    int replayed = 0;
    for (const auto& [target, harness] : kestro_fuzz::Targets) {
        for (const fs::path& file : saved_inputs(harness)) {
            SCOPED_TRACE(file.string());
            const std::string text = kestro::read_file_bytes(file.string());
            try {
                kestro_fuzz::run_target(target, text);
            } catch (const std::exception& error) {
                ADD_FAILURE() << "exception: " << error.what();
            } catch (...) {
                ADD_FAILURE() << "exception of no std type";
            }
            ++replayed;
        }
    }
    // The folders hold at least the reproducers of the first faults found.
    EXPECT_GE(replayed, 3);
}
