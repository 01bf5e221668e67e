// The Lazy Pulverix and PowderCell readers: small files written inline, and
// the real files of the shared corpus against an independent reader.

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <thread>
#include <vector>

#include "crystal/catalogues.h"
#include "crystal/operators.h"
#include "formats/powder.h"
#include "formats/reader_support.h"
#include "model/file_io.h"
#include "model/text.h"
#include "recording_messages.h"
#include "temp_dir.h"

#ifdef KESTRO_HAVE_JSON
#include <nlohmann/json.hpp>
#endif

using namespace kestro;

namespace {

// B = 1 A^2 gives U = 1 / (8 pi^2) A^2 (hand computation).
constexpr double UOfBOne = 0.012665147955292222;

using Reader = bool (*)(std::string_view, std::string_view, StructureModel&, Messages&);

struct Load {
    std::unique_ptr<StructureModel> model = std::make_unique<StructureModel>();
    RecordingMessages messages;
    bool loaded = false;
};

Load load(Reader reader, const TempDir& dir, const std::string& path)
{
    Load out;
    out.model->data_directory = KESTRO_SOURCE_DATA_DIR;
    out.model->program_directory = dir.path();
    out.model->source_file_name = path;
    out.loaded = reader(read_file_bytes(path), path, *out.model, out.messages);
    return out;
}

std::string atom_lines(const std::string& prefix, int n, const std::string& suffix)
{
    std::string text;
    for (int i = 1; i <= n; ++i) text += prefix + std::to_string(0.0005 * i) + suffix;
    return text;
}

} // namespace

TEST(PowderLazyPulverix, ReadsKeywordsLabelsAndIsotropicU)
{
    TempDir dir;
    // LF line ends; 'Fe  2' keeps one of its two blanks (one pass over the places).
    const Load r = load(read_lazy_pulverix, dir,
                        dir.write("rutile.lzy", "TITLE Rutile test\nCELL 4.5937 4.5937 2.9587 90 90 90\n"
                                                "SPCGRP P 42/m n m\nATOM Ti1    0.0 0.0 0.0 1.0 1.0\n"
                                                "ATOM  O 1   0.3053,0.3053,0.0 1.0 0.5\n"
                                                "ATOM Fe  2  0.1 0.2 0.3 1 0.0\nEND\n"));
    ASSERT_TRUE(r.loaded);
    const StructureModel& m = *r.model;
    EXPECT_TRUE(r.messages.shown.empty());
    EXPECT_EQ(m.title, "Rutile test");
    EXPECT_GT(m.cell.metric.volume, 62.0);
    EXPECT_EQ(m.system_code, "TETR");
    EXPECT_EQ(m.space_group, "P42/mnm");
    EXPECT_EQ(m.lattice_letter, "P");
    EXPECT_EQ(m.operators.count(), 16); // 8 listed, doubled by the inversion
    EXPECT_EQ(m.selected_operators.count(), 1);
    EXPECT_EQ(m.selected[1] + m.selected[2], 1);
    EXPECT_EQ(m.operator_texts[1], " X, Y, Z");
    EXPECT_EQ(m.edit.data_changed, 1);
    EXPECT_EQ(m.element_sorts.count(), 3);
    ASSERT_EQ(m.asym.count(), 3);
    EXPECT_EQ(m.asym[1].label, "TI1");
    EXPECT_EQ(m.asym[2].label, "O 1");
    EXPECT_EQ(m.asym[3].label, "FE 2");
    EXPECT_DOUBLE_EQ(m.asym[2].xyz[1], 0.3053);
    EXPECT_NEAR(m.asym[1].thermal[0], UOfBOne, 1e-9);
    EXPECT_NEAR(m.asym[2].thermal[0], 0.5 * UOfBOne, 1e-9);
    EXPECT_EQ(m.asym[2].thermal[1], 0.0);
    EXPECT_EQ(m.asym[2].isotropic, 1);
}

TEST(PowderCell, ReadsElementLabelsDefaultBAndTheNumberedGroup)
{
    TempDir dir;
    // CR line ends; lines that are no atoms; a setting number after 227; an
    // atom after the RGNR line, not read.
    const Load r = load(read_powdercell, dir,
                        dir.write("si.cel", "CELL  5.4307 5.4307 5.4307 90 90 90\rnatom 3\r"
                                            "Si1   14  0.125 0.125 0.125 1.0 0.5\rSi2   14  0.5 0.5 0.5 1.0 0.5\r"
                                            "O1     8  0.25,0.5,0.75 1.0 0.0\rDWF   none\rC9     6  0.1 oops 0.3 1 1\r"
                                            "\rrgnr  227 1\rXx1    1  0 0 0 1 1\r"));
    ASSERT_TRUE(r.loaded);
    const StructureModel& m = *r.model;
    EXPECT_EQ(r.messages.shown, std::vector<std::string>{"Lines that are no atoms, skipped in si.cel: 7"});
    EXPECT_EQ(m.space_group, "Fd-3m"); // line 227 of spa.grp
    EXPECT_EQ(m.lattice_letter, "F");
    EXPECT_EQ(m.operators.count(), 192);
    EXPECT_EQ(m.selected_operators.count(), 1);
    EXPECT_EQ(m.operator_texts[1], " X, Y, Z");
    ASSERT_EQ(m.asym.count(), 3);
    EXPECT_EQ(m.asym[1].label, "SI");
    EXPECT_EQ(m.asym[2].label, "SI");
    EXPECT_EQ(m.asym[3].label, "O ");
    EXPECT_DOUBLE_EQ(m.asym[3].xyz[2], 0.75);
    EXPECT_NEAR(m.asym[1].thermal[0], 0.5 * UOfBOne, 1e-9);
    EXPECT_NEAR(m.asym[3].thermal[0], UOfBOne, 1e-9); // B = 0 taken as 1.0
    EXPECT_EQ(m.asym[3].isotropic, 1);
}

TEST(PowderReaders, RefuseUnreadableFiles)
{
    TempDir dir;
    const std::string cell = "CELL  5 5 5 90 90 90\n";
    const std::string atom = "C1     6  0.1 0.2 0.3 1.0 1.0\n";
    struct Case {
        Reader reader;
        std::string name, text, message_start;
    };
    const Case cases[] = {
        {read_lazy_pulverix, "a.lzy", "SPCGRP P 1\nATOM C1   0 0 0 1 1\n", "Cell not found in a.lzy"},
        {read_lazy_pulverix, "a.lzy", "TITLE x\nCELL 5 5 five 90 90 90\n", "Cell not found"},
        {read_lazy_pulverix, "a.lzy", "CELL 5 5 5 90 90\n", "Cell not found"},
        {read_lazy_pulverix, "a.lzy", "CELL 5 5 5 90 90 90\r\nATOM C1   0.1 0.2 abc 1 1\r\n", "Read error"},
        {read_lazy_pulverix, "a.lzy", "CELL 5 5 5 90 90 90\rATOM C1   0.1 0.2 0.3\r", "Read error"},
        {read_powdercell, "a.cel", atom + "RGNR  1\n", "Cell not found in a.cel"},
        {read_powdercell, "a.cel", "CELL  5 5 x 90 90 90\n" + atom + "RGNR  1\n", "Cell not found in a.cel at line 1"},
        {read_powdercell, "a.cel", cell + atom, "No space-group number (RGNR line) in a.cel"},
        {read_powdercell, "a.cel", cell + atom + "RGNR  0\n", "Space-group number not known: '0' in a.cel at line 3"},
        {read_powdercell, "a.cel", cell + atom + "RGNR  231\n", "Space-group number not known: '231'"},
        {read_powdercell, "a.cel", cell + atom + "RGNR  1.5\n", "Space-group number not known: '1.5'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Load r = load(c.reader, dir, dir.write(c.name, c.text));
        EXPECT_FALSE(r.loaded);
        ASSERT_EQ(r.messages.shown.size(), 1u);
        // The texts the program has always shown stay as they are; the new
        // refusals name the file and the line.
        EXPECT_EQ(r.messages.shown[0].rfind(c.message_start, 0), 0u) << r.messages.shown[0];
        EXPECT_TRUE(r.model->space_group.empty());
        EXPECT_EQ(r.model->edit.data_changed, 0);
    }
}

TEST(PowderReaders, AFullAsymmetricUnitFitsOneMoreIsRefused)
{
    TempDir dir;
    const std::string lzy = "CELL 30 30 30 90 90 90\r\nSPCGRP P 1\r\n" + atom_lines("ATOM C1    0.1 0.2 ", MaxAsymAtoms, " 1 1\r\n");
    const std::string cel = "CELL  30 30 30 90 90 90\n" + atom_lines("C1     6  0.1 0.2 ", MaxAsymAtoms, " 1.0 1.0\n");
    struct Case {
        Reader reader;
        std::string name, atoms, extra, end;
    };
    for (const Case& c : {Case{read_lazy_pulverix, "n.lzy", lzy, "ATOM C2    0.5 0.5 0.5 1 1\r\n", ""},
                          Case{read_powdercell, "n.cel", cel, "C2     6  0.5 0.5 0.5 1.0 1.0\n", "RGNR  1\n"}}) {
        const auto& [reader, name, atoms, extra, end] = c;
        SCOPED_TRACE(name);
        const Load full = load(reader, dir, dir.write(name, atoms + end));
        EXPECT_TRUE(full.loaded);
        EXPECT_TRUE(full.messages.shown.empty());
        EXPECT_EQ(full.model->asym.count(), MaxAsymAtoms);
        const Load over = load(reader, dir, dir.write(name, atoms + extra + end));
        EXPECT_FALSE(over.loaded);
        EXPECT_EQ(over.messages.shown, std::vector<std::string>{too_many_atoms_text()});
        EXPECT_EQ(over.model->asym.count(), MaxAsymAtoms);
    }
}

TEST(PowderLazyPulverix, UnknownOrMissingSymbolKeepsTheIdentity)
{
    TempDir dir;
    const std::string atoms = "CELL 5 6 7 90 90 90\nATOM C1    0.1 0.2 0.3 1 1\n";
    for (const auto& [spcgrp, message] : {std::pair<std::string, std::string>{"SPCGRP Q 9 9\n", "Space group not found: Q99"},
                                          {"", "Space group not found: no symbol in s.lzy"}}) {
        const Load r = load(read_lazy_pulverix, dir, dir.write("s.lzy", atoms + spcgrp));
        ASSERT_TRUE(r.loaded);
        EXPECT_EQ(r.messages.shown, std::vector<std::string>{message});
        ASSERT_EQ(r.model->operators.count(), 1);
        EXPECT_EQ(r.model->operators[1].rows, SymmetryOperator::identity().rows);
        EXPECT_EQ(r.model->operator_texts[1], " X, Y, Z");
        EXPECT_EQ(r.model->selected_operators.count(), 1);
        EXPECT_EQ(r.model->asym.count(), 1);
        EXPECT_EQ(r.model->edit.data_changed, 1);
    }
}

TEST(PowderData, CorpusFilesMatchTheIndependentReader)
{
#ifndef KESTRO_HAVE_JSON
    GTEST_SKIP() << "nlohmann_json not available";
#else
    const std::filesystem::path root(KESTRO_SHARED_TESTDATA_DIR);
    if (!std::filesystem::is_directory(root / "expected")) GTEST_SKIP() << "no corpus in " << root;
    TempDir dir;
    int files = 0;
    for (const std::string format : {"lzy", "cel"}) {
        const bool lazy = format == "lzy";
        for (const auto& entry : std::filesystem::directory_iterator(root / format)) {
            if (entry.path().extension() != "." + format) continue;
            const std::string name = entry.path().filename().string();
            SCOPED_TRACE(name);
            const nlohmann::json j = nlohmann::json::parse(std::ifstream(root / "expected" / (name + ".json")));
            const Load r = load(lazy ? read_lazy_pulverix : read_powdercell, dir, entry.path().string());
            ASSERT_TRUE(r.loaded);
            EXPECT_TRUE(r.messages.shown.empty()) << r.messages.shown.front();
            const StructureModel& m = *r.model;
            ++files;

            // The files carry the cell to 4 decimals, the expectations as the CIF gave it.
            const auto& cell = j["cell"];
            EXPECT_NEAR(m.cell.a, cell["a"].get<double>(), 5e-5);
            EXPECT_NEAR(m.cell.c, cell["c"].get<double>(), 5e-5);
            EXPECT_NEAR(m.cell.beta, cell["beta"].get<double>(), 5e-5);
            EXPECT_NEAR(m.cell.gamma, cell["gamma"].get<double>(), 5e-5);
            if (lazy) {
                EXPECT_EQ(compact_symbol(m.space_group), compact_symbol(j["hm"].get<std::string>()));
            }
            // The full list as a set, translations modulo 1.
            EXPECT_EQ(m.operators.count(), static_cast<int>(j["full_ops"].size()));
            for (const auto& op : j["full_ops"]) {
                SymmetryOperator wanted;
                for (std::size_t r = 0; r < 3; ++r)
                    for (std::size_t k = 0; k < 4; ++k) wanted.rows[r][k] = op[r][k].get<double>();
                bool found = false;
                for (const SymmetryOperator& have : m.operators) found = found || same_operator(have, wanted);
                EXPECT_TRUE(found) << op.dump();
            }

            const auto& atoms = j["atoms"];
            ASSERT_EQ(m.asym.count(), static_cast<int>(atoms.size()));
            for (int i = 1; i <= m.asym.count(); ++i) {
                const auto& a = atoms[static_cast<std::size_t>(i - 1)];
                const AtomRecord& atom = m.asym[i];
                // Lazy Pulverix: the whole label, a blank after a one-letter
                // element where it then fits 4 characters. PowderCell: the
                // element letters alone.
                const std::string label = to_upper(a["label"].get<std::string>());
                std::size_t letters = 0;
                while (letters < 2 && std::isalpha(static_cast<unsigned char>(label[letters]))) ++letters;
                const bool digit = letters == 1 && std::isdigit(static_cast<unsigned char>(label[1]));
                const std::string spaced = digit && label.size() < 4 ? label.substr(0, 1) + " " + label.substr(1) : label;
                EXPECT_EQ(lazy ? atom.label.str() : trim(atom.label.view()),
                          lazy ? spaced.substr(0, 8) : label.substr(0, letters));
                EXPECT_NEAR(atom.xyz[0], a["x"].get<double>(), 1e-6);
                EXPECT_NEAR(atom.xyz[1], a["y"].get<double>(), 1e-6);
                EXPECT_NEAR(atom.xyz[2], a["z"].get<double>(), 1e-6);
                EXPECT_NEAR(atom.thermal[0], a["u_iso"].get<double>(), 1e-6);
            }
        }
    }
    EXPECT_EQ(files, 38);
#endif
}

TEST(PowderLazyPulverix, SettingsNeedNoWritableDirectoryAndNeverMeetAnotherLoad)
{
    // A setting goes through the settings library's exchange file. It was
    // written in the program directory: a directory that cannot be written
    // refused the load, and two loads at once read each other's file.
    TempDir dir;
    const std::string path = dir.write("s.lzy", "CELL 5 6 7 90 100 90\nSPCGRP P 1 21/n 1\nATOM C1    0.1 0.2 0.3 1 1\n");
    const std::string text = read_file_bytes(path);
    const auto load_setting = [&](const std::string& program_directory) {
        Load out;
        out.model->data_directory = KESTRO_SOURCE_DATA_DIR;
        out.model->program_directory = program_directory;
        out.loaded = read_lazy_pulverix(text, path, *out.model, out.messages);
        return out;
    };
    const Load alone = load_setting(dir.file("no such directory"));
    ASSERT_TRUE(alone.loaded);
    EXPECT_TRUE(alone.messages.shown.empty()) << alone.messages.shown[0];
    EXPECT_EQ(alone.model->operators.count(), 4);

    std::atomic<int> wrong{0};
    const auto loads = [&] {
        for (int i = 0; i < 40; ++i) {
            const Load r = load_setting(dir.path());
            if (!r.loaded || r.model->operators.count() != 4) ++wrong;
        }
    };
    std::thread first(loads), second(loads);
    first.join();
    second.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("scfs.dat")));
}

TEST(PowderCell, LinesThatAreNoAtomsAreNamedAndLabelsHoldNoControlCharacters)
{
    TempDir dir;
    // A nan coordinate dropped the atom without a word.
    const Load nan = load(read_powdercell, dir,
                          dir.write("n.cel", "CELL  5 5 5 90 90 90\nC1     6  0.1 0.2 0.3 1.0 1.0\n"
                                             "O1     8  nan 0.2 0.3 1.0 1.0\nN1     7  0.1 inf 0.3 1.0 1.0\nRGNR  1\n"));
    ASSERT_TRUE(nan.loaded);
    EXPECT_EQ(nan.model->asym.count(), 1);
    EXPECT_EQ(nan.messages.shown, std::vector<std::string>{"Lines that are no atoms, skipped in n.cel: 3, 4"});

    // CR + NUL line ends put a NUL at the start of every line.
    std::string text = "CELL  5 5 5 90 90 90\r";
    text += '\0';
    text += "Si1   14  0.1 0.2 0.3 1.0 1.0\r";
    text += '\0';
    text += "RGNR  1\r";
    text += '\0';
    const Load nul = load(read_powdercell, dir, dir.write("z.cel", text));
    ASSERT_TRUE(nul.loaded) << nul.messages.shown[0];
    ASSERT_EQ(nul.model->asym.count(), 1);
    EXPECT_EQ(nul.model->asym[1].label.str(), "SI");
    EXPECT_TRUE(nul.messages.shown.empty());
}
