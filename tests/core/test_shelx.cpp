// SHELX instruction files and listings: the SYMM operator text, the atom
// lines with their free variables, the real files of the shared corpus
// against an independent reader, and the writer read back.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "crystal/operators.h"
#include "formats/reader_support.h"
#include "formats/shelx.h"
#include "formats/structure_files.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "model/thermal.h"
#include "recording_messages.h"
#include "temp_dir.h"

#ifdef KESTRO_HAVE_JSON
#include <nlohmann/json.hpp>
#endif

using namespace kestro;

namespace {

const std::string ShelxDir = std::string(KESTRO_SHARED_TESTDATA_DIR) + "/shelx/";

bool is_listing(const std::string& path)
{
    const std::string ext = std::filesystem::path(path).extension().string();
    return ext == ".lst" || ext == ".out";
}

// The model as the load command leaves it before a reader runs.
std::unique_ptr<StructureModel> fresh_model(const std::string& path)
{
    auto model = std::make_unique<StructureModel>();
    model->data_directory = KESTRO_SOURCE_DATA_DIR;
    model->source_file_name = path;
    const std::string file = std::filesystem::path(path).filename().string();
    model->source_base_name = file.size() > 4 ? file.substr(0, file.size() - 4) : std::string();
    return model;
}

std::unique_ptr<StructureModel> read_file(const std::string& path, RecordingMessages& messages, bool& loaded)
{
    auto model = fresh_model(path);
    const std::string text = read_file_bytes(path);
    loaded = is_listing(path) ? read_shelx_listing(text, path, *model, messages)
                              : read_shelx_instructions(text, path, *model, messages);
    return model;
}

std::unique_ptr<StructureModel> read_text(const TempDir& dir, const std::string& name, const std::string& text,
                                          RecordingMessages& messages, bool& loaded)
{
    return read_file(dir.write(name, text), messages, loaded);
}

// Full operator lists equal as sets, translations modulo 1.
bool same_operator_set(const StructureModel& a, const StructureModel& b)
{
    if (a.operators.count() != b.operators.count()) return false;
    for (const SymmetryOperator& op : a.operators) {
        bool found = false;
        for (const SymmetryOperator& other : b.operators) found = found || same_operator(op, other);
        if (!found) return false;
    }
    return true;
}

const char* const Header = R"(TITL test in P2(1)/c
CELL  0.71073  10.0000  11.0000  12.0000  90.000  100.000  90.000
ZERR  4  0.001 0.001 0.001 0 0.01 0
LATT  1
SYMM -X, 0.5+Y, 0.5-Z
SFAC C H O
UNIT 4 4 4
)";

// The shared real files; none when the folder is not beside the checkout.
std::vector<std::string> corpus_files()
{
    std::vector<std::string> files;
    if (!std::filesystem::is_directory(ShelxDir)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(ShelxDir)) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST(ShelxSymm, FormsTranslationsAndFractions)
{
    using Rows = std::array<std::array<double, 4>, 3>;
    const auto rows = [](std::string_view text) { return parse_symm_operator(text).value_or(SymmetryOperator{}).rows; };
    EXPECT_EQ(rows("-X, 0.5+Y, 0.5-Z"), (Rows{{{-1, 0, 0, 0}, {0, 1, 0, 0.5}, {0, 0, -1, 0.5}}}));
    // Fractions before or after the coordinate, lower case, blanks.
    EXPECT_EQ(rows("1/2+x, -y+1/2, 1/4 - z"), (Rows{{{1, 0, 0, 0.5}, {0, -1, 0, 0.5}, {0, 0, -1, 0.25}}}));
    // The two-letter forms win over the single letters.
    EXPECT_EQ(rows("X-Y, -X+Y+1/2, 1/4-Y+X"), (Rows{{{1, -1, 0, 0}, {-1, 1, 0, 0.5}, {1, -1, 0, 0.25}}}));
    EXPECT_EQ(rows("Y-X,-.5+Z,X"), (Rows{{{-1, 1, 0, 0}, {0, 0, 1, -0.5}, {1, 0, 0, 0}}}));

    // Refused: not three components, a zero denominator, no coordinate,
    // a translation that is no number.
    for (const char* bad : {"X,Y", "-X Y Z", "1/0+X,Y,Z", "X,Y,0.5", "X,Y,Z+A", "X,Y+Z,Z"})
        EXPECT_FALSE(parse_symm_operator(bad)) << bad;
}

TEST(ShelxInstructions, HeaderLatticeAndOperators)
{
    TempDir dir;
    RecordingMessages messages;
    bool loaded = false;
    // An empty line and REM lines before TITL and the SYMM lines hide nothing.
    auto m = read_text(dir, "a.ins",
                       "\nREM solution\nTITL  centred\nCELL 0.5 5 6 7 90 95 90\nLATT -7\n\n"
                       "SYMM  X , Y , Z\nsymm -x,y,-z\nSYMM -X,Y,-Z\nFVAR 1\nC1 1 0.1 0.2 0.3 11 0.02\nHKLF 4\n",
                       messages, loaded);
    ASSERT_TRUE(loaded) << (messages.shown.empty() ? "" : messages.shown[0]);
    EXPECT_EQ(m->title, "centred");
    EXPECT_EQ(m->lattice_letter, "C");
    EXPECT_EQ(m->centro_flag, -1);
    // Identity and the one distinct SYMM, then the C centring: 2 x 2.
    EXPECT_EQ(m->listed_operator_count, 2);
    EXPECT_EQ(m->operators.count(), 4);
    EXPECT_EQ(m->centring_count, 1);
    EXPECT_EQ(m->operator_texts[1], " X, Y, Z");
    EXPECT_EQ(m->operator_texts[2], "-X, Y,-Z");
    EXPECT_EQ(m->selected_operators.count(), 1);
    EXPECT_EQ(m->selected[1], 1);
    EXPECT_EQ(m->edit.data_changed, 1);

    m = read_text(dir, "b.ins", "TITL x\nCELL 1 5 5 5 90 90 90\nLATT 0\nFVAR 1\nC1 1 0 0 0 11 0.02\nEND\n",
                  messages, loaded);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(m->lattice_letter, "P");
    EXPECT_EQ(m->centro_flag, 1);
    EXPECT_EQ(m->operators.count(), 2); // identity and inversion

    // A SYMM line that cannot be split into three components stops the load.
    messages.shown.clear();
    m = read_text(dir, "c.ins", "TITL x\nCELL 1 5 5 5 90 90 90\nSYMM -X,-Y\nFVAR 1\nC1 1 0 0 0 11 0.02\n",
                  messages, loaded);
    EXPECT_FALSE(loaded);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "not decoded:SYMM -X,-Y (file c.ins, line 3)");

    // No cell: refused, the cell stays missing.
    messages.shown.clear();
    m = read_text(dir, "d.ins", "TITL x\nLATT 1\nFVAR 1\nC1 1 0 0 0 11 0.02\n", messages, loaded);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(m->cell.missing());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "No cell parameters in the file d.ins");

    // A file that cannot be opened is the caller's input/output error.
    EXPECT_THROW(structure_file_text(dir.file("missing.ins")), IoError);
}

TEST(ShelxInstructions, AtomValuesAndFreeVariables)
{
    TempDir dir;
    RecordingMessages messages;
    bool loaded = false;
    auto m = read_text(dir, "atoms.res", std::string(Header) +
                       "L.S. 4\nFVAR 0.5 0.4 0 0 0 0 0 0 0 0 =\n 0 0.3\nREM ===========\n"
                       "C1    1    0.12345   0.23456   0.34567   11.00000   0.02500\n"
                       "O1    3   10.25000  21.50000  -0.10000   11.00000   0.01000  0.02000 =\n"
                       "         0.03000  0.00100  0.00200  0.00300\n"
                       "H1    2    0.1  0.2  0.3  11.0  -1.5\n"
                       "SADI_C 0.02 C1 O1\n"
                       "RESI 1 ABC\n"
                       "PART 1 21\n"
                       "C12A  1    0.5  0.5  0.5  21.0  10.06\n"
                       "PART 0\n"
                       "N1    1   120.5  0  0  11.0  0.02\n"
                       "AFIX 0\n"
                       "HKLF 4\n"
                       "Q1   1   0.1 0.2 0.3 11.0 0.05 1.23\n",
                       messages, loaded);
    ASSERT_TRUE(loaded) << (messages.shown.empty() ? "" : messages.shown[0]);
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(m->asym.count(), 5); // Q1 after HKLF is not read
    const AtomRecord& c1 = m->asym[1];
    EXPECT_EQ(c1.label, "C 1");
    EXPECT_DOUBLE_EQ(c1.xyz[0], 0.12345);
    EXPECT_DOUBLE_EQ(c1.thermal[0], 0.025);
    EXPECT_EQ(c1.isotropic, 1);

    // 10.25 is a fixed 0.25; 21.5 is 1.5 fv(2) = 0.6; the continuation line
    // holds U33 U23 U13 U12.
    const AtomRecord& o1 = m->asym[2];
    EXPECT_DOUBLE_EQ(o1.xyz[0], 0.25);
    EXPECT_NEAR(o1.xyz[1], 0.6, 1e-12);
    EXPECT_DOUBLE_EQ(o1.xyz[2], -0.1);
    EXPECT_EQ(o1.thermal, (Thermal6{0.01, 0.02, 0.03, 0.003, 0.002, 0.001}));
    EXPECT_EQ(o1.isotropic, 0);

    // Riding H: 1.5 times the Ueq of O1.
    EXPECT_NEAR(m->asym[3].thermal[0], 1.5 * equivalent_u(m->cell, o1.thermal), 1e-12);
    EXPECT_EQ(m->asym[3].isotropic, 1);

    // 10.06 is a fixed U of 0.06, not a multiple of the scale factor.
    EXPECT_EQ(m->asym[4].label, "C12A");
    EXPECT_NEAR(m->asym[4].thermal[0], 0.06, 1e-12);
    // Its part, and its sof 21.0: fv(2) = 0.4.
    EXPECT_EQ(m->asym[4].part, 1);
    EXPECT_NEAR(m->asym[4].occupancy, 0.4, 1e-12);
    EXPECT_EQ(m->asym[5].part, 0);
    EXPECT_DOUBLE_EQ(m->asym[1].occupancy, 1.0);
    // fv(12), from the continued FVAR line: 0.5 x 0.3.
    EXPECT_NEAR(m->asym[5].xyz[0], 0.15, 1e-12);
    // The element is the SFAC one: N1 of scattering factor 1 is a carbon.
    EXPECT_EQ(element_of(m->asym[2]), "O");
    EXPECT_EQ(element_of(m->asym[5]), "C");
    EXPECT_EQ(m->element_sorts.count(), 3);
}

TEST(ShelxInstructions, FilesWithoutFvarAndBadLines)
{
    TempDir dir;
    RecordingMessages messages;
    bool loaded = false;
    // A solution file: no FVAR, a peak height after Uiso, CR line ends.
    std::string text = std::string(Header) + "PLAN 20\nMORE -1\nS001 1 0.1 0.2 0.3 11.0 0.04 62.3\n"
                       "C002 1 0.4 0.5 0.6 11.0 0.05 12.1\nEND\n";
    for (char& c : text)
        if (c == '\n') c = '\r';
    auto m = read_text(dir, "sol.res", text, messages, loaded);
    ASSERT_TRUE(loaded) << (messages.shown.empty() ? "" : messages.shown[0]);
    ASSERT_EQ(m->asym.count(), 2);
    EXPECT_EQ(m->asym[1].label, "S001"); // kept whole: with a blank it would not fit 4 characters
    EXPECT_DOUBLE_EQ(m->asym[1].thermal[0], 0.04);
    EXPECT_TRUE(m->asym[1].isotropic_uij());
    EXPECT_EQ(m->title, "test in P2(1)/c");

    // An atom line whose numbers cannot be read stops the load, named by line.
    m = read_text(dir, "bad.ins", std::string(Header) + "FVAR 1\nC1 1 0.1 0.2 0.3 11 0.02\nC2 1 0.1 abc\n",
                  messages, loaded);
    EXPECT_FALSE(loaded);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back(), "not decoded:C2 1 0.1 abc (file bad.ins, line 10)");
    EXPECT_EQ(m->asym.count(), 1);

    // A typo in the middle of a line was read as 0 and the atom moved; an
    // atom value of 1e30 asked for free variable 1e29 (undefined behaviour),
    // and a free variable that FVAR does not give was read as 0.
    for (const auto& [line, message] : std::vector<std::pair<std::string, std::string>>{
             {"C2 1 0.2x 0.2 0.3 11 0.02", "not decoded:C2 1 0.2x 0.2 0.3 11 0.02 (file bad.ins, line 10)"},
             {"C2 1 0.1 0.25O00 0.3 11 0.02", "not decoded:"},
             {"C2 1 0.1 0.2 nan 11 0.02", "not decoded:"},
             {"C2 1 0.1 inf 0.3 11 0.02 =\n 0.01 0.01 0.01 0 0 0", "not decoded:"},
             {"C2 1 1e30 0.2 0.3 11 0.02", "A free variable that FVAR does not give:C2 1 1e30"},
             {"C2 1 0.1 0.2 0.3 21 0.02", "A free variable that FVAR does not give:"},
             {"C2 1 0.1 0.2 0.3 -1e300 0.02", "A free variable that FVAR does not give:"},
         }) {
        SCOPED_TRACE(line);
        messages.shown.clear();
        m = read_text(dir, "bad.ins", std::string(Header) + "FVAR 1\nC1 1 0.1 0.2 0.3 11 0.02\n" + line + "\nEND\n",
                      messages, loaded);
        EXPECT_FALSE(loaded);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].rfind(message, 0), 0u) << messages.shown[0];
        EXPECT_NE(messages.shown[0].find("line 10)"), std::string::npos) << messages.shown[0];
    }
    // The reproducer of the fuzzer: no crash, no structure.
    m = read_text(dir, "f.ins", "CELL3 6 2 5 90 9 90\n1 000 1e30 - 0\n", messages, loaded);
    EXPECT_FALSE(loaded);
    // FVAR values are used as given.
    m = read_text(dir, "ok.ins", std::string(Header) + "FVAR 1 0.25\nC1 1 0.1 0.2 0.3 21 0.02\nEND\n", messages,
                  loaded);
    ASSERT_TRUE(loaded);
}

TEST(ShelxInstructions, LongContinuationChainsJoinWhole)
{
    // 200 000 continued lines: joined into one line in linear time (the old
    // join copied the line at every step; kestro_bench measures it).
    std::string text = std::string(Header) + "FVAR 1\nC1 1 0.1 0.2 0.3 11 0.02 =\n";
    for (int i = 0; i < 200000; ++i) text += "   =\n";
    text += " 0.01 0.03 0 0 0\nEND\n";
    StructureModel model;
    model.data_directory = KESTRO_SOURCE_DATA_DIR;
    RecordingMessages messages;
    ASSERT_TRUE(read_shelx_instructions(text, "long.ins", model, messages));
    ASSERT_EQ(model.asym.count(), 1);
    EXPECT_EQ(model.asym[1].thermal[2], 0.03);
}

TEST(ShelxListing, FilesWithoutAnAtomTableAreRefused)
{
    TempDir dir;
    RecordingMessages messages;
    bool loaded = false;
    auto m = read_text(dir, "y.lst", "just text\n CELL 1 5 5 5 90 90 90\n", messages, loaded);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(messages.shown.back(), "The file y.lst Seems not to be a Shelx file");
    EXPECT_EQ(m->asym.count(), 0);
    // A header with any number of blanks between x, y and z is recognised.
    m = read_text(dir, "z.lst", " CELL 1 5 5 5 90 90 90\n ATOM    x  y  z\n\n Largest correlation\n", messages,
                  loaded);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(messages.shown.back(), "No detected atoms in the file z.lst");
    // A word among the numbers of an atom line refuses the file; a line that
    // starts with a word ends the table.
    const std::string table = " CELL 1 5 5 5 90 90 90\n ATOM    x  y  z\n\n C1 0.1 0.2 0.3 1 0.02\n s.u. line\n\n";
    m = read_text(dir, "t.lst", table + " C2 0.1 0.2x 0.3 1 0.02\n", messages, loaded);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(messages.shown.back(), "not decoded: C2 0.1 0.2x 0.3 1 0.02 (file t.lst, line 7)");
    m = read_text(dir, "t.lst", table + " Largest correlation 0.5 0.5 0.5\n", messages, loaded);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(m->asym.count(), 1);
}

TEST(ShelxWriter, LinesAndFormats)
{
    TempDir dir;
    RecordingMessages messages;
    bool loaded = false;
    auto m = read_text(dir, "w.ins",
                       std::string(Header) + "FVAR 1\nC1 1 0.1 0.2 0.3 11 0.02\n"
                                             "O12 3 0.4 0.5 0.6 11 0.01 0.02 =\n 0.03 0.004 0.005 0.006\nEND\n",
                       messages, loaded);
    ASSERT_TRUE(loaded);
    m->wavelength = 0;
    EXPECT_EQ(shelx_instructions_text(*m),
              "TITL w\n"
              "CELL  0.71060   10.0000   11.0000   12.0000   90.0000  100.0000   90.0000\n"
              "ERR     2 0 0 0 0 0\n"
              "LATT 1\n"
              "SYMM -X, Y+0.5,-Z+0.5\n"
              "SFAC C O \n"
              "UNIT   1  1\n"
              "FVAR     1\n"
              "C1     1   0.10000   0.20000   0.30000   11.0000   0.02000\n"
              "O12    2   0.40000   0.50000   0.60000   11.0000   0.01000   0.02000   =\n"
              "   0.03000   0.00400   0.00500   0.00600\n"
              "END\n");
    EXPECT_DOUBLE_EQ(m->wavelength, 0); // the text leaves the model alone

    // Disorder parts go out as PART lines with their occupancies, and come back.
    m->asym[2].part = 2;
    m->asym[2].occupancy = 0.25;
    const std::string parts = shelx_instructions_text(*m);
    EXPECT_NE(parts.find("PART 2\nO12    2   0.40000   0.50000   0.60000   10.2500"), std::string::npos);
    EXPECT_NE(parts.find("\nPART 0\nEND\n"), std::string::npos);
    bool again = false;
    auto back = read_text(dir, "parts.ins", parts, messages, again);
    ASSERT_TRUE(again);
    EXPECT_EQ(back->asym[2].part, 2);
    EXPECT_DOUBLE_EQ(back->asym[2].occupancy, 0.25);
    EXPECT_EQ(back->asym[1].part, 0);
    m->asym[2].part = 0;

    // Save: ".shx" added, an existing file kept unless the answer is Yes.
    const std::string target = dir.file("out");
    ASSERT_TRUE(save_shelx_instructions(*m, target, messages));
    EXPECT_EQ(m->current_file, target + ".shx");
    EXPECT_DOUBLE_EQ(m->wavelength, 0.7106);
    EXPECT_TRUE(messages.asked.empty());
    write_file_atomically(target + ".shx", "old");
    messages.answers = {Answer::No};
    EXPECT_FALSE(save_shelx_instructions(*m, target, messages));
    EXPECT_EQ(messages.asked.back(), "This file already exists. Do you want to continue?");
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(read_file_bytes(target + ".shx"), "old");
    EXPECT_TRUE(save_shelx_instructions(*m, target, messages)); // Yes
    EXPECT_NE(read_file_bytes(target + ".shx"), "old");

    auto empty = std::make_unique<StructureModel>();
    EXPECT_FALSE(save_shelx_instructions(*empty, dir.file("none"), messages));
    EXPECT_FALSE(file_exists(dir.file("none.shx")));
}

#ifdef KESTRO_HAVE_JSON

namespace {

nlohmann::json expectation(const std::string& path)
{
    const auto file = std::filesystem::path(KESTRO_SHARED_TESTDATA_DIR) / "expected" /
                      (std::filesystem::path(path).filename().string() + ".json");
    return nlohmann::json::parse(std::ifstream(file));
}

} // namespace

TEST(ShelxCorpus, RealFilesMatchAnIndependentReader)
{
    const std::vector<std::string> files = corpus_files();
    if (files.empty()) GTEST_SKIP() << "no SHELX files in " << ShelxDir;
    ASSERT_EQ(files.size(), 22u);
    int riding = 0;
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        const nlohmann::json j = expectation(path);
        RecordingMessages messages;
        bool loaded = false;
        auto m = read_file(path, messages, loaded);
        ASSERT_TRUE(loaded) << (messages.shown.empty() ? "" : messages.shown[0]);

        const auto& cell = j["cell"];
        EXPECT_NEAR(m->cell.a, cell["a"].get<double>(), 1e-6);
        EXPECT_NEAR(m->cell.c, cell["c"].get<double>(), 1e-6);
        EXPECT_NEAR(m->cell.beta, cell["beta"].get<double>(), 1e-6);
        EXPECT_NEAR(m->wavelength, cell["wavelength"].get<double>(), 1e-6);

        // Operators: the implied full list as a set, each operator once.
        std::vector<SymmetryOperator> expected_ops;
        for (const auto& rows : j["full_ops"]) {
            SymmetryOperator op;
            for (std::size_t r = 0; r < 3; ++r)
                for (std::size_t c = 0; c < 4; ++c) op.rows[r][c] = rows[r][c].get<double>();
            expected_ops.push_back(op);
        }
        for (const SymmetryOperator& op : expected_ops) {
            int found = 0;
            for (const SymmetryOperator& mine : m->operators) found += same_operator(op, mine) ? 1 : 0;
            EXPECT_EQ(found, 1);
        }
        for (const SymmetryOperator& mine : m->operators) {
            bool found = false;
            for (const SymmetryOperator& op : expected_ops) found = found || same_operator(op, mine);
            EXPECT_TRUE(found);
        }

        // Atoms in file order, Q peaks excluded by the oracle (there are none
        // before HKLF in the corpus); at most 1000 kept.
        const auto& atoms = j["atoms"];
        const int expected_count = std::min<int>(static_cast<int>(atoms.size()), MaxAsymAtoms);
        ASSERT_EQ(m->asym.count(), expected_count);
        if (atoms.size() > static_cast<std::size_t>(MaxAsymAtoms))
            EXPECT_EQ(messages.shown.back(), too_many_atoms_text());
        else
            EXPECT_TRUE(messages.shown.empty()) << messages.shown[0];
        if (j.contains("title")) {
            EXPECT_EQ(m->title, j["title"].get<std::string>());
        }
        double reference_u = 0;
        for (int i = 1; i <= expected_count; ++i) {
            const auto& a = atoms[static_cast<std::size_t>(i - 1)];
            const AtomRecord& atom = m->asym[i];
            SCOPED_TRACE(a["label"].get<std::string>());
            EXPECT_EQ(atom.label, stored_label(a["label"].get<std::string>()));
            EXPECT_NEAR(atom.xyz[0], a["x"].get<double>(), 1e-6);
            EXPECT_NEAR(atom.xyz[1], a["y"].get<double>(), 1e-6);
            EXPECT_NEAR(atom.xyz[2], a["z"].get<double>(), 1e-6);
            const auto& u = a["u"];
            if (u.size() == 6) {
                // SHELX order 11 22 33 23 13 12.
                EXPECT_NEAR(atom.thermal[0], u[0].get<double>(), 1e-6);
                EXPECT_NEAR(atom.thermal[2], u[2].get<double>(), 1e-6);
                EXPECT_NEAR(atom.thermal[3], u[5].get<double>(), 1e-6);
                EXPECT_NEAR(atom.thermal[5], u[3].get<double>(), 1e-6);
            } else if (u.size() == 1) {
                // Uiso as written, fixed (10 + U), or riding (-f: f times the
                // Ueq of the last atom before it that does not ride).
                const double written = u[0].get<double>();
                const double value = written < 0 ? -written * reference_u : written > 10 ? written - 10 : written;
                riding += written < 0 ? 1 : 0;
                EXPECT_NEAR(atom.thermal[0], value, 1e-6);
                EXPECT_TRUE(atom.isotropic_uij());
            }
            if (!(u.size() == 1 && u[0].get<double>() < 0))
                reference_u = atom.isotropic_uij() ? atom.thermal[0] : equivalent_u(m->cell, atom.thermal);
        }
    }
    EXPECT_GT(riding, 300); // the corpus has hundreds of riding H atoms
}

#endif

TEST(ShelxCorpus, WrittenFilesReadBackTheSameStructure)
{
    if (corpus_files().empty()) GTEST_SKIP() << "no SHELX files in " << ShelxDir;
    TempDir dir;
    for (const std::string& path : corpus_files()) {
        SCOPED_TRACE(path);
        RecordingMessages messages;
        bool loaded = false;
        auto first = read_file(path, messages, loaded);
        ASSERT_TRUE(loaded);
        first->current_file = dir.file("round.ins");
        write_shelx_instructions(*first);
        auto second = read_file(first->current_file, messages, loaded);
        ASSERT_TRUE(loaded) << (messages.shown.empty() ? "" : messages.shown.back());
        EXPECT_TRUE(same_operator_set(*first, *second));
        // Without the listed count the writer finds the same SYMM lines.
        first->listed_operator_count = 0;
        write_shelx_instructions(*first);
        auto deduced = read_file(first->current_file, messages, loaded);
        ASSERT_TRUE(loaded);
        EXPECT_TRUE(same_operator_set(*first, *deduced));
        EXPECT_EQ(deduced->listed_operator_count, second->listed_operator_count);
        EXPECT_EQ(first->lattice_letter, second->lattice_letter);
        EXPECT_EQ(first->centro_flag, second->centro_flag);
        EXPECT_NEAR(first->cell.gamma, second->cell.gamma, 1e-4);
        EXPECT_NEAR(first->cell.b, second->cell.b, 1e-4);
        ASSERT_EQ(first->asym.count(), second->asym.count());
        for (int i = 1; i <= first->asym.count(); ++i) {
            const AtomRecord& a = first->asym[i];
            const AtomRecord& b = second->asym[i];
            EXPECT_EQ(a.label, b.label);
            for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(a.xyz[k], b.xyz[k], 1e-5);
            for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(a.thermal[k], b.thermal[k], 1e-5);
        }
    }
}

// The s.u. a listing gives: the cell's from ZERR, each atom's coordinates
// from the line below it (after the positional s.u. under the label).
TEST(ShelxListing, KeepsTheStandardUncertainties)
{
    const std::string path = ShelxDir + "sf_051a_p21c.lst";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not there";
    RecordingMessages messages;
    bool loaded = false;
    const auto model = read_file(path, messages, loaded);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(model->cell.su, (std::array<double, 6>{0.0009, 0.0009, 0.0016, 0.000, 0.001, 0.000}));
    EXPECT_EQ(model->asym[1].label.str(), "N 1");
    EXPECT_EQ(model->asym[1].xyz_su, (Vec3{0.00011, 0.00010, 0.00006}));
}
