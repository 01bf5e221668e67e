// The program's own structure file: byte-exact writing, reading back, and
// refusal of damaged files without touching the structure in memory.
#include <gtest/gtest.h>

#include "model/errors.h"
#include "model/file_io.h"
#include "formats/kes.h"
#include "kes_fixture.h"
#include "recording_messages.h"
#include "temp_dir.h"

#include <unistd.h>

using namespace kestro;

namespace {

const std::string GoldenPath = std::string(KESTRO_TEST_DATA_DIR) + "/golden.kes";

std::string replace_line(std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

std::unique_ptr<StructureModel> load(const std::string& path, RecordingMessages& messages)
{
    auto model = std::make_unique<StructureModel>();
    EXPECT_TRUE(load_ascii_structure(*model, path, messages)) << (messages.shown.empty() ? "" : messages.shown[0]);
    return model;
}

} // namespace

TEST(KesFile, WriterMatchesTheHandCheckedFile)
{
    // tests/data/golden.kes was checked field by field against the layout.
    EXPECT_EQ(ascii_structure_text(*golden_model()), read_file_bytes(GoldenPath));
}

TEST(KesFile, ReadingAndWritingAgainGivesTheSameBytes)
{
    RecordingMessages messages;
    auto model = load(GoldenPath, messages);
    EXPECT_EQ(ascii_structure_text(*model), read_file_bytes(GoldenPath));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(KesFile, ReadBackValues)
{
    RecordingMessages messages;
    auto model = load(GoldenPath, messages);
    const StructureModel& m = *model;
    EXPECT_EQ(m.title, "Golden test, P21/c");
    EXPECT_DOUBLE_EQ(m.cell.beta, 105.5);
    EXPECT_EQ(m.system_code, "MONO");
    EXPECT_EQ(m.space_group, "P21/c");
    EXPECT_EQ(m.centro_flag, 1);
    EXPECT_EQ(m.lattice_letter, "P");
    ASSERT_EQ(m.operators.count(), 4);
    EXPECT_DOUBLE_EQ(m.operators[4].rows[1][3], 0.5);
    // The selected list is rebuilt from the flags, whole.
    ASSERT_EQ(m.selected_operators.count(), 2);
    EXPECT_DOUBLE_EQ(m.selected_operators[2].rows[1][3], 0.5);
    EXPECT_FALSE(m.operator_texts[2].empty());
    // Short labels come back filled to four characters.
    EXPECT_EQ(m.asym[1].label, "C 1 ");
    EXPECT_EQ(m.asym[2].label, "CL12");
    EXPECT_DOUBLE_EQ(m.asym[1].thermal[3], -0.0012);
    EXPECT_TRUE(m.asym[3].isotropic_uij());
    EXPECT_EQ(m.display_labels[2], "Cl12");
    EXPECT_DOUBLE_EQ(m.generated[2].label_dy, -1.25);
    EXPECT_DOUBLE_EQ(m.generated[1].thermal[0], 0.00451234);
    EXPECT_EQ(m.generated[2].colour, 0x808000u);
    EXPECT_EQ(m.generated[2].isotropic, 1);
    // One-letter symbols are written right-aligned and read as the letter.
    EXPECT_EQ(m.element_sorts[1].symbol, "C");
    EXPECT_EQ(m.bond_sorts[2].element2, "CL");
    EXPECT_DOUBLE_EQ(m.bond_sorts[2].max_length, 2.14);
    EXPECT_EQ(m.bonds[2].atom2, 2);
    EXPECT_EQ(m.bonds[2].order, 2);
    EXPECT_EQ(m.generation.box, 1);
    EXPECT_EQ(m.generation.box_reduce, 1);
    EXPECT_EQ(m.drawing.black_white, 1);
    EXPECT_DOUBLE_EQ(m.generation.sphere_radius, 7.5);
    // A label offset in the file ticks "labels off centre"; the restore point
    // of the drawing is the loaded atoms.
    EXPECT_EQ(m.drawing.labels_off_centre, 1);
    EXPECT_DOUBLE_EQ(m.initial_generated[2].label_dx, 0.5);
    EXPECT_EQ(m.ascii_file_name, GoldenPath);
}

TEST(KesFile, NumbersWiderThanTheirFieldsStaySeparated)
{
    auto model = golden_model();
    model->generated.set_count(1001);
    for (int i = 3; i <= 1001; ++i) model->generated[i] = model->generated[1];
    model->bonds[2] = {1000, 1001, 2, 1.25};
    const std::string text = ascii_structure_text(*model);
    EXPECT_NE(text.find("\r\n 1000 1001   2   1.250\r\n"), std::string::npos);
    RecordingMessages messages;
    auto back = std::make_unique<StructureModel>();
    ASSERT_TRUE(read_ascii_structure(text, *back, messages));
    EXPECT_EQ(back->bonds[2].atom1, 1000);
    EXPECT_EQ(back->bonds[2].atom2, 1001);

    // Numbers as wide as their fields, as fragment numbers and colours of a
    // 100 000-atom structure get, keep a blank before them.
    model->generated[2].colour = 0xFFFFFFFF;
    model->generated[2].operator_index = 100000;
    model->generated[2].shown = 12345;
    const std::string wide = ascii_structure_text(*model);
    EXPECT_NE(wide.find("\r\n    2 4294967295 100000    1 12345    0\r\n"), std::string::npos);
    ASSERT_TRUE(read_ascii_structure(wide, *back, messages));
    EXPECT_EQ(back->generated[2].colour, 0xFFFFFFFF);
    EXPECT_EQ(back->generated[2].operator_index, 100000);
    EXPECT_EQ(back->generated[2].shown, 12345);
}

TEST(KesFile, LongLabelsTypesAndPartsComeBackFromTheAtomSites)
{
    // Short labels, no types, no parts: the 17 sections alone, as always.
    EXPECT_EQ(ascii_structure_text(*golden_model()).find(AtomSitesHeader), std::string::npos);

    auto model = golden_model();
    model->asym[1].label = "C12AB";
    model->asym[1].part = 2;
    model->asym[1].assembly = "A";
    model->asym[1].occupancy = 0.35;
    model->asym[2].element = "C"; // 'CL12' typed as a carbon
    model->generated[1].label = "C12AB";
    model->generated[1].part = -1;
    const std::string text = ascii_structure_text(*model);
    // The atom sections hold the first four characters, so that every reader
    // of the format loads the file; the whole label follows at the end.
    EXPECT_NE(text.find("\r\nC12A   0.12345"), std::string::npos);
    EXPECT_NE(text.find("\r\n#Atom sites\r\n3 2\r\nC12AB     .     2  A   0.3500\r\nCL12      C"),
              std::string::npos);

    RecordingMessages messages;
    auto back = std::make_unique<StructureModel>();
    ASSERT_TRUE(read_ascii_structure(text, *back, messages));
    EXPECT_EQ(back->asym[1].label, "C12AB");
    EXPECT_EQ(back->asym[1].part, 2);
    EXPECT_EQ(back->asym[1].assembly, "A");
    EXPECT_DOUBLE_EQ(back->asym[1].occupancy, 0.35);
    EXPECT_EQ(element_of(back->asym[2]), "C");
    EXPECT_EQ(back->generated[1].label, "C12AB");
    EXPECT_EQ(back->generated[1].part, -1);
    EXPECT_EQ(back->asym[3].label, "O 2 "); // as the short form reads it
    EXPECT_EQ(ascii_structure_text(*back), text);

    // A section for other atoms than the file's is refused.
    const std::string wrong = replace_line(text, "#Atom sites\r\n3 2", "#Atom sites\r\n3 1");
    EXPECT_THROW(read_ascii_structure(wrong, *back, messages), IoError);
}

TEST(KesFile, OrientationFrameIsRebuiltFromTheInverseMatrix)
{
    RecordingMessages messages;
    auto model = load(GoldenPath, messages);
    const CellMetric& m = model->cell.metric;
    // T T^-1 = I and R is a rotation (the file keeps 7 decimals).
    const Mat3 product = mat_product(m.T, m.T_inv);
    const Mat3 rotation = mat_product(m.R, m.R_inv);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(product[i][j], i == j ? 1.0 : 0.0, 1e-9);
            EXPECT_NEAR(rotation[i][j], i == j ? 1.0 : 0.0, 1e-5);
        }
    EXPECT_NEAR(mat_det(m.R), 1.0, 1e-5);
}

TEST(KesFile, CentringLineAndEmptyTexts)
{
    const std::string golden = read_file_bytes(GoldenPath);
    TempDir dir;
    struct Case {
        const char* line;
        int flag;
        const char* letter;
    };
    for (const Case& c : {Case{"-P", 0, "P"}, Case{"-", 0, ""}, Case{"+", 1, ""}, Case{"- C", 0, "C"}}) {
        const std::string path =
            dir.write("centring.kes", replace_line(golden, "P21/c\r\n+P\r\n", std::string("P21/c\r\n") + c.line + "\r\n"));
        RecordingMessages messages;
        auto model = load(path, messages);
        EXPECT_EQ(model->centro_flag, c.flag) << c.line;
        EXPECT_EQ(model->lattice_letter, c.letter) << c.line;
    }

    auto model = golden_model();
    model->title.clear();
    model->space_group.clear();
    model->centro_flag = 0;
    model->lattice_letter.clear();
    const std::string text = ascii_structure_text(*model);
    EXPECT_NE(text.find("#Title\r\n\r\n#Cell"), std::string::npos);
    EXPECT_NE(text.find("#Space group\r\n\r\n-\r\n"), std::string::npos);
    RecordingMessages messages;
    auto back = load(dir.write("empty.kes", text), messages);
    EXPECT_EQ(back->title, "");
    EXPECT_EQ(back->space_group, "");
    EXPECT_EQ(ascii_structure_text(*back), text);
}

TEST(KesFile, UnusedOptionPositionsAreIgnoredAndWrittenAsZero)
{
    const std::string golden = read_file_bytes(GoldenPath);
    TempDir dir;
    const std::string path = dir.write(
        "flags.kes", replace_line(golden, "  1  0  1  0  1  0  0  0  0  0  0\r\n", "  1  0  1  0  1  1  1  1  1  1  1\r\n"));
    RecordingMessages messages;
    auto model = load(path, messages);
    EXPECT_EQ(ascii_structure_text(*model), golden);
}

TEST(KesFile, AnyLineEndingIsRead)
{
    const std::string golden = read_file_bytes(GoldenPath);
    TempDir dir;
    for (const char* ending : {"\n", "\r"}) {
        std::string text = golden;
        for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.replace(at, 2, ending), ++at;
        RecordingMessages messages;
        auto model = load(dir.write("ending.kes", text), messages);
        EXPECT_EQ(ascii_structure_text(*model), golden);
    }
}

TEST(KesFile, DamagedFilesAreRefusedAndTheStructureKept)
{
    const std::string golden = read_file_bytes(GoldenPath);
    TempDir dir;
    struct Case {
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        {golden.substr(0, golden.find("#Element sorts")), "Read beyond end of file"},
        {golden.substr(0, golden.size() - 20), "Read beyond end of file"},
        {"", "Read beyond end of file"},
        {replace_line(golden, "  0.12345  -0.50000", "  0.12345  -0.5x000"), "Invalid numeric input at line 16"},
        {replace_line(golden, "#General Positions\r\n4\r\n", "#General Positions\r\n4.5\r\n"),
         "Invalid numeric input at line 9"},
        {replace_line(golden, "#General Positions\r\n4\r\n", "#General Positions\r\n193\r\n"),
         "General Positions: the file holds 193 operators, at most 192 can be loaded"},
        {replace_line(golden, "#Asymetric unit contents\r\n3\r\n", "#Asymetric unit contents\r\n10001\r\n"),
         "Asymetric unit contents: the file holds 10001 atoms, at most 10000 can be loaded"},
        {replace_line(golden, "#Generated atoms\r\n2\r\n", "#Generated atoms\r\n-2\r\n"),
         "Generated atoms: the file holds -2 atoms, at most 100000 can be loaded"},
        {replace_line(golden, "#Calculated bonds\r\n2\r\n", "#Calculated bonds\r\n500001\r\n"),
         "Calculated bonds: the file holds 500001 bonds, at most 500000 can be loaded"},
        {replace_line(golden, "#Ellipsoids probability\r\n5\r\n", "#Ellipsoids probability\r\n11\r\n"),
         "Ellipsoids probability: 11 is not a probability index from 0 to 10"},
        // Record numbers that name nothing: the commands would index past
        // their tables with them.
        {replace_line(golden, "   1   2   2   1.250", "   1 900000000   2   1.250"),
         "Line 43: bond 2 joins atom 900000000, but the file has 2 generated atoms"},
        {replace_line(golden, "   1   2   2   1.250", "   3   2   2   1.250"),
         "Line 43: bond 2 joins atom 3, but the file has 2 generated atoms"},
        {replace_line(golden, "   1   2   0   1.765", "   0   2   0   1.765"),
         "Line 42: bond 1 joins atom 0, but the file has 2 generated atoms"},
        {replace_line(golden, "    2   8421376    2    1", "    4   8421376    2    1"),
         "Line 29: generated atom 2 has element sort 4, but the file has 3 element sorts"},
        {replace_line(golden, "  CL   O    2.02", "  CL  BR    2.02"),
         "Line 39: bond sort 3 names element 'BR', but the file has no element sort of it"},
    };
    for (const Case& c : cases) {
        auto model = golden_model();
        const std::string before = ascii_structure_text(*model);
        RecordingMessages messages;
        EXPECT_FALSE(load_ascii_structure(*model, dir.write("bad.kes", c.text), messages));
        ASSERT_EQ(messages.shown.size(), 1u) << c.message;
        EXPECT_EQ(messages.shown[0], c.message);
        EXPECT_EQ(ascii_structure_text(*model), before) << c.message;
    }

    RecordingMessages messages;
    auto model = golden_model();
    EXPECT_FALSE(load_ascii_structure(*model, dir.file("absent.kes"), messages));
    EXPECT_EQ(messages.shown.at(0), "File not found: " + dir.file("absent.kes"));
}

TEST(KesFile, SingularOrientationOrCellIsRefused)
{
    const std::string golden = read_file_bytes(GoldenPath);
    TempDir dir;
    const std::string singular = replace_line(golden, "   0.0000004   0.1379310   0.0000000\r\n",
                                              "   0.0000000   0.0000000   0.0000000\r\n");
    RecordingMessages messages;
    auto model = golden_model();
    EXPECT_FALSE(load_ascii_structure(*model, dir.write("singular.kes", singular), messages));
    EXPECT_EQ(messages.shown.at(0), "The orientation matrix of the file singular.kes is singular: the file cannot be loaded");
    EXPECT_EQ(model->asym.count(), 3);

    RecordingMessages cell_messages;
    const std::string flat = replace_line(golden, " 10.5000  7.2500 12.1250", " 10.5000  7.2500  0.0000");
    EXPECT_FALSE(load_ascii_structure(*model, dir.write("flat.kes", flat), cell_messages));
    EXPECT_EQ(cell_messages.shown.size(), 1u);
    EXPECT_EQ(model->generated.count(), 2);
}

TEST(KesFile, LoadAddsTheExtensionToANameWithoutDot)
{
    TempDir dir;
    dir.write("plain.kes", read_file_bytes(GoldenPath));
    RecordingMessages messages;
    auto model = std::make_unique<StructureModel>();
    EXPECT_TRUE(load_ascii_structure(*model, dir.file("plain"), messages));
    EXPECT_EQ(model->ascii_file_name, dir.file("plain.kes"));
}

TEST(KesSave, NamesQuestionsAndSafeReplacement)
{
    TempDir dir;
    auto model = golden_model();
    RecordingMessages messages;

    // No generated atom: nothing is written, nothing said.
    auto empty = std::make_unique<StructureModel>();
    EXPECT_FALSE(save_ascii_structure(*empty, dir.file("none"), messages));
    EXPECT_FALSE(file_exists(dir.file("none.kes")));

    EXPECT_TRUE(save_ascii_structure(*model, dir.file("first"), messages));
    EXPECT_EQ(model->current_file, dir.file("first.kes"));
    EXPECT_EQ(read_file_bytes(dir.file("first.kes")), read_file_bytes(GoldenPath));
    EXPECT_TRUE(messages.asked.empty());

    // Only a dot in the file's own name keeps the name as it is: a folder
    // "v1.2" does not.
    std::filesystem::create_directories(dir.path() + "/v1.2");
    EXPECT_TRUE(save_ascii_structure(*model, dir.path() + "/v1.2/structure", messages));
    EXPECT_TRUE(file_exists(dir.path() + "/v1.2/structure.kes"));
    EXPECT_FALSE(file_exists(dir.path() + "/v1.2/structure"));
    EXPECT_TRUE(save_ascii_structure(*model, dir.path() + "/v1.2/structure.v3", messages));
    EXPECT_TRUE(file_exists(dir.path() + "/v1.2/structure.v3"));

    // An existing file is replaced only after Yes.
    const std::string old_text = "old contents";
    dir.write("kept.kes", old_text);
    for (Answer answer : {Answer::No, Answer::Cancel}) {
        messages.answers = {answer};
        EXPECT_FALSE(save_ascii_structure(*model, dir.file("kept.kes"), messages));
        EXPECT_EQ(read_file_bytes(dir.file("kept.kes")), old_text);
    }
    EXPECT_EQ(messages.asked.back(), "This file already exists. Do you want to continue?");
    EXPECT_EQ(messages.beeps, 2);
    messages.answers = {Answer::Yes};
    EXPECT_TRUE(save_ascii_structure(*model, dir.file("kept.kes"), messages));
    EXPECT_EQ(read_file_bytes(dir.file("kept.kes")), read_file_bytes(GoldenPath));
}

TEST(KesSave, AFailedWriteLeavesTheOldFile)
{
    TempDir dir;
    auto model = golden_model();
    RecordingMessages messages;
    // The target's folder does not exist: the write fails and says so.
    EXPECT_FALSE(save_ascii_structure(*model, dir.path() + "/missing/x.kes", messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "Cannot write file: " + dir.path() + "/missing/x.kes: No such file or directory");

    // Renaming over a directory fails; the directory and the folder stay clean.
    std::filesystem::create_directories(dir.file("busy.kes"));
    EXPECT_FALSE(save_ascii_structure(*model, dir.file("busy.kes"), messages));
    EXPECT_EQ(dir.entries(), 1); // no temporary file left behind
}

TEST(KesSave, AReplacedFileKeepsItsModeAndItsSymbolicLink)
{
    namespace fs = std::filesystem;
    TempDir dir;
    auto model = golden_model();
    RecordingMessages messages;
    const std::string golden = read_file_bytes(GoldenPath);

    dir.write("private.kes", "old");
    fs::permissions(dir.file("private.kes"), fs::perms::owner_read | fs::perms::owner_write);
    messages.answers = {Answer::Yes};
    ASSERT_TRUE(save_ascii_structure(*model, dir.file("private.kes"), messages));
    EXPECT_EQ(fs::status(dir.file("private.kes")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // A link in another folder: the link stays, its target gets the structure.
    fs::create_directories(dir.file("store"));
    dir.write("store/real.kes", "old");
    fs::create_symlink("store/real.kes", dir.file("link.kes"));
    messages.answers = {Answer::Yes};
    ASSERT_TRUE(save_ascii_structure(*model, dir.file("link.kes"), messages));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.file("link.kes"))));
    EXPECT_EQ(read_file_bytes(dir.file("store/real.kes")), golden);
    EXPECT_EQ(dir.entries(), 3);

    // A write-protected file is not replaced by someone who may not write it.
    dir.write("protected.kes", "old");
    fs::permissions(dir.file("protected.kes"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    messages.answers = {Answer::Yes};
    const bool saved = save_ascii_structure(*model, dir.file("protected.kes"), messages);
    if (::geteuid() != 0) {
        EXPECT_FALSE(saved);
        EXPECT_EQ(messages.shown.back(), "Cannot write file: " + dir.file("protected.kes") + ": Permission denied");
        EXPECT_EQ(read_file_bytes(dir.file("protected.kes")), "old");
    }
    EXPECT_EQ(fs::status(dir.file("protected.kes")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

TEST(KesFile, NegativeTranslationsAreReadIntoTheCell)
{
    // Other programs write x, -y-1/2, z-1/2 with negative translations; the
    // operator text shows them as +1/2 and the operator keeps that value.
    const std::string golden = read_file_bytes(GoldenPath);
    TempDir dir;
    const std::string text = replace_line(golden, "   0  -1   0  0.500000   0   0   1  0.500000",
                                          "   0  -1   0 -0.500000   0   0   1 -0.500000");
    RecordingMessages messages;
    auto model = load(dir.write("negative.kes", text), messages);
    EXPECT_DOUBLE_EQ(model->operators[4].rows[1][3], 0.5);
    EXPECT_DOUBLE_EQ(model->operators[4].rows[2][3], 0.5);
    EXPECT_EQ(ascii_structure_text(*model), golden);
}
