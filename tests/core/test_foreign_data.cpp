// The structure files of other programs in ../shared/testdata, each read by
// the reader of its extension and compared with what an independent reader
// found: cell, operators, labels, coordinates, displacement parameters and
// the number of sites in the cell. Then the round trips: SHELX read, written
// and read again; CIF read, saved as .kes and read again.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "crystal/generation.h"
#include "crystal/operators.h"
#include "formats/kes.h"
#include "formats/reader_support.h"
#include "formats/shelx.h"
#include "formats/structure_files.h"
#include "forms/mainmenu.h"
#include "model/labels.h"
#include "model/text.h"
#include "recording_messages.h"
#include "temp_dir.h"

#ifdef KESTRO_HAVE_JSON
#include "expected_model.h"
#endif

using namespace kestro;
using namespace kestro::mainmenu;
namespace fs = std::filesystem;

namespace {

const fs::path TestData = KESTRO_SHARED_TESTDATA_DIR;

std::vector<fs::path> files_in(const char* folder)
{
    std::vector<fs::path> out;
    if (!fs::is_directory(TestData / folder)) return out;
    for (const auto& entry : fs::directory_iterator(TestData / folder))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

std::unique_ptr<StructureModel> fresh_model(const TempDir& program)
{
    auto model = std::make_unique<StructureModel>();
    model->data_directory = KESTRO_SOURCE_DATA_DIR;
    model->program_directory = program.path();
    return model;
}

// A CIF label without its parentheses, as the readers store it.
std::string without_parentheses(std::string label)
{
    label.erase(std::remove_if(label.begin(), label.end(), [](char c) { return c == '(' || c == ')'; }), label.end());
    return label;
}

// Every operator of `a` is in `b` (translations modulo 1), and as many.
::testing::AssertionResult same_operator_set(const StructureModel& a, const StructureModel& b)
{
    if (a.operators.count() != b.operators.count())
        return ::testing::AssertionFailure() << a.operators.count() << " operators against " << b.operators.count();
    for (int i = 1; i <= a.operators.count(); ++i) {
        bool found = false;
        for (int k = 1; k <= b.operators.count() && !found; ++k) found = same_operator(a.operators[i], b.operators[k]);
        if (!found) return ::testing::AssertionFailure() << "operator " << i << " has no match";
    }
    return ::testing::AssertionSuccess();
}

void expect_same_structure(const StructureModel& a, const StructureModel& b, double cell_tolerance)
{
    EXPECT_NEAR(a.cell.a, b.cell.a, cell_tolerance);
    EXPECT_NEAR(a.cell.b, b.cell.b, cell_tolerance);
    EXPECT_NEAR(a.cell.c, b.cell.c, cell_tolerance);
    EXPECT_NEAR(a.cell.alpha, b.cell.alpha, 1e-3);
    EXPECT_NEAR(a.cell.beta, b.cell.beta, 1e-3);
    EXPECT_NEAR(a.cell.gamma, b.cell.gamma, 1e-3);
    EXPECT_TRUE(same_operator_set(a, b));
    ASSERT_EQ(a.asym.count(), b.asym.count());
    for (int i = 1; i <= a.asym.count(); ++i) {
        SCOPED_TRACE("atom " + std::to_string(i));
        EXPECT_EQ(trim(a.asym[i].label.view()), trim(b.asym[i].label.view()));
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(a.asym[i].xyz[k], b.asym[i].xyz[k], 1e-5);
        for (int k = 0; k < 6; ++k) EXPECT_NEAR(a.asym[i].thermal[k], b.asym[i].thermal[k], 1e-5);
    }
}

#ifdef KESTRO_HAVE_JSON
constexpr double EightPiSquared = 78.95683520871486;

// The six Uij (model order 11 22 33 12 13 23) or the one Uiso the oracle
// found; empty when it found none (a riding H, a '?').
std::vector<double> expected_u(const nlohmann::json& atom, const std::string& format)
{
    auto number = [](const nlohmann::json& v) { return v.is_number() ? v.get<double>() : NAN; };
    if (format == "cif") {
        if (atom.contains("aniso") && atom["aniso"].is_object()) {
            const auto& u = atom["aniso"];
            return {number(u["U11"]), number(u["U22"]), number(u["U33"]), number(u["U12"]), number(u["U13"]),
                    number(u["U23"])};
        }
        if (atom.contains("u_iso") && atom["u_iso"].is_number()) return {atom["u_iso"].get<double>()};
        if (atom.contains("b_iso") && atom["b_iso"].is_number()) return {atom["b_iso"].get<double>() / EightPiSquared};
        return {};
    }
    if (format == "cel" || format == "lzy")
        return atom.contains("u_iso") ? std::vector<double>{atom["u_iso"].get<double>()} : std::vector<double>{};
    // SHELX: U11 U22 U33 U23 U13 U12, or one Uiso (negative: riding), as
    // written: 10 + u is u held fixed.
    std::vector<double> u;
    for (const auto& v : atom["u"]) {
        const double x = v.get<double>();
        u.push_back(std::abs(x) > 10 && std::abs(x) < 20 ? x - std::copysign(10.0, x) : x);
    }
    if (u.size() == 6) return {u[0], u[1], u[2], u[5], u[4], u[3]};
    if (u.size() == 1 && u[0] > 0) return u;
    return {};
}

std::string format_of_json(const nlohmann::json& j)
{
    const std::string f = j.value("format", "");
    return f.rfind("shelx", 0) == 0 ? "shelx" : f;
}

// One file against its expectation; true when it passed.
bool check_file(const fs::path& file, int& exceptions)
{
    SCOPED_TRACE(file.filename().string());
    const fs::path json_path = TestData / "expected" / (file.filename().string() + ".json");
    if (!fs::exists(json_path)) {
        ADD_FAILURE() << "no expectation file";
        return false;
    }
    const nlohmann::json j = nlohmann::json::parse(std::ifstream(json_path));
    const std::string format = format_of_json(j);
    const int failures_before = ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();

    TempDir program;
    auto model = fresh_model(program);
    RecordingMessages messages;
    const bool loaded = load_structure_file(*model, file.string(), messages);
    EXPECT_TRUE(loaded);
    if (!loaded) return false;

    const auto& atoms = j["atoms"];
    const int expected_atoms = static_cast<int>(atoms.size());
    // Tables hold 1000 atoms: a larger file keeps the first 1000 and says so.
    if (expected_atoms > MaxAsymAtoms) {
        ++exceptions;
        EXPECT_EQ(messages.shown, std::vector<std::string>{too_many_atoms_text()});
    } else {
        EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
    }
    EXPECT_EQ(model->asym.count(), std::min(expected_atoms, MaxAsymAtoms));

    const auto& c = j["cell"];
    EXPECT_NEAR(model->cell.a, c["a"].get<double>(), 1e-4);
    EXPECT_NEAR(model->cell.b, c["b"].get<double>(), 1e-4);
    EXPECT_NEAR(model->cell.c, c["c"].get<double>(), 1e-4);
    EXPECT_NEAR(model->cell.alpha, c["alpha"].get<double>(), 1e-3);
    EXPECT_NEAR(model->cell.beta, c["beta"].get<double>(), 1e-3);
    EXPECT_NEAR(model->cell.gamma, c["gamma"].get<double>(), 1e-3);

    if (j.contains("full_ops") && !j["full_ops"].empty()) {
        auto expected = std::make_unique<StructureModel>();
        for (const auto& op : j["full_ops"]) {
            SymmetryOperator s;
            for (int r = 0; r < 3; ++r)
                for (int k = 0; k < 4; ++k) s.rows[r][k] = op[r][k].get<double>();
            // The independent reader may list an operator twice (a SYMM line
            // giving the inversion a centrosymmetric LATT implies): the set counts.
            bool listed = false;
            for (const SymmetryOperator& known : expected->operators) listed = listed || same_operator(known, s);
            if (!listed) expected->operators.push(s);
        }
        EXPECT_TRUE(same_operator_set(*expected, *model));
    }

    const int n = std::min(model->asym.count(), expected_atoms);
    for (int i = 1; i <= n; ++i) {
        const auto& e = atoms[static_cast<std::size_t>(i - 1)];
        const AtomRecord& a = model->asym[i];
        SCOPED_TRACE(e["label"].get<std::string>());
        std::string label = trim(stored_label(without_parentheses(e["label"])).view());
        // PowderCell labels are their element part alone.
        if (format == "cel") label = element_symbol(label);
        EXPECT_EQ(trim(a.label.view()), label);
        EXPECT_NEAR(a.xyz[0], e["x"].get<double>(), 1e-5);
        EXPECT_NEAR(a.xyz[1], e["y"].get<double>(), 1e-5);
        EXPECT_NEAR(a.xyz[2], e["z"].get<double>(), 1e-5);
        const std::vector<double> u = expected_u(e, format);
        if (u.size() == 6) {
            for (int k = 0; k < 6; ++k) {
                const double value = u[static_cast<std::size_t>(k)];
                if (!std::isnan(value)) {
                    EXPECT_NEAR(a.thermal[k], value, 1e-6);
                }
            }
        } else if (u.size() == 1) {
            EXPECT_NEAR(a.thermal[0], u[0], 1e-6);
        } else {
            EXPECT_GE(a.thermal[0], 0.0);
        }
    }

    // Every position applied, "Cell contents": the distinct sites of the cell.
    if (j.contains("cell_site_count") && j["cell_site_count"].is_number() && expected_atoms <= MaxAsymAtoms) {
        OperatorGrid grid;
        fill_operator_grid(*model, grid);
        RecordingMessages generation_messages;
        on_click_checklistbox(*model, grid, generation_messages, static_cast<int>(GenerationItem::CellContents), true);
        EXPECT_EQ(model->selected_operators.count(), model->operators.count());
        const bool fitted = generer(*model, generation_messages);
        const int sites = j["cell_site_count"];
        if (sites <= gen::MaxKept && fitted) {
            EXPECT_EQ(kestro_test::distinct_sites(*model), sites);
        } else {
            // The cell cut at the atoms' limit; its bonds may fill their table too.
            EXPECT_FALSE(fitted);
            EXPECT_NE(std::find(generation_messages.shown.begin(), generation_messages.shown.end(),
                                "Too many generated atoms"),
                      generation_messages.shown.end());
        }
    }
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() == failures_before;
}

void check_folder(const char* folder, const char* extension = nullptr)
{
    const auto files = files_in(folder);
    if (files.empty()) GTEST_SKIP() << "no files in " << (TestData / folder);
    int passed = 0, checked = 0, exceptions = 0;
    for (const fs::path& file : files) {
        if (extension && file.extension() != extension) continue;
        ++checked;
        passed += check_file(file, exceptions) ? 1 : 0;
    }
    std::printf("[ corpus   ] %s: %d of %d files pass (%d with a reasoned exception)\n", folder, passed, checked,
                exceptions);
    EXPECT_EQ(passed, checked);
}
#endif

} // namespace

#ifdef KESTRO_HAVE_JSON
TEST(ForeignData, CifFilesMatchTheIndependentReader) { check_folder("cif"); }
TEST(ForeignData, ShelxFilesMatchTheIndependentReader) { check_folder("shelx"); }
TEST(ForeignData, PowderCellFilesMatchTheIndependentReader) { check_folder("cel"); }
TEST(ForeignData, LazyPulverixFilesMatchTheIndependentReader) { check_folder("lzy"); }
#endif

namespace {

// Every file of the folder read, written by `write` to a file of `extension`
// and read again: the same structure (the written files carry five decimals
// for coordinates and four for the cell). Gives the number of files checked.
int round_trips(const char* folder, const char* extension, void (*write)(StructureModel&))
{
    int checked = 0;
    for (const fs::path& file : files_in(folder)) {
        SCOPED_TRACE(file.filename().string());
        TempDir program;
        auto first = fresh_model(program);
        RecordingMessages messages;
        if (!load_structure_file(*first, file.string(), messages)) continue;
        first->current_file = program.path() + "/again" + extension;
        write(*first);
        auto second = fresh_model(program);
        EXPECT_TRUE(load_structure_file(*second, first->current_file, messages));
        expect_same_structure(*first, *second, 1e-4);
        EXPECT_EQ(first->centro_flag == 1, second->centro_flag == 1);
        ++checked;
    }
    return checked;
}

void write_kes(StructureModel& model) { write_ascii_structure(model); }

} // namespace

TEST(ForeignRoundTrip, ShelxReadWrittenAndReadAgain)
{
    if (files_in("shelx").empty()) GTEST_SKIP() << "no SHELX files in " << TestData;
    EXPECT_EQ(round_trips("shelx", ".shx", write_shelx_instructions), 22);
}

TEST(ForeignRoundTrip, CifSavedAsKestroFileAndReadAgain)
{
    if (files_in("cif").empty()) GTEST_SKIP() << "no CIF files in " << TestData;
    EXPECT_EQ(round_trips("cif", ".kes", write_kes), 33);
}

TEST(ForeignDispatch, ExtensionChoosesTheReader)
{
    EXPECT_EQ(format_of("/data/x.RES"), StructureFormat::ShelxInstructions);
    EXPECT_EQ(format_of("a.b/x.ins"), StructureFormat::ShelxInstructions);
    EXPECT_EQ(format_of("x.shx"), StructureFormat::ShelxInstructions);
    EXPECT_EQ(format_of("x.inp"), StructureFormat::ShelxInstructions);
    EXPECT_EQ(format_of("x.lst"), StructureFormat::ShelxListing);
    EXPECT_EQ(format_of("x.out"), StructureFormat::ShelxListing);
    EXPECT_EQ(format_of("x.Cif"), StructureFormat::Cif);
    EXPECT_EQ(format_of("x.cel"), StructureFormat::PowderCell);
    EXPECT_EQ(format_of("x.lzy"), StructureFormat::LazyPulverix);
    EXPECT_EQ(format_of("x.kes"), StructureFormat::Kestro);
    // The extension is the end of the name, not a part of a folder.
    EXPECT_EQ(format_of("run.cif/notes"), StructureFormat::Unknown);
    EXPECT_EQ(format_of("x.ins.bak"), StructureFormat::Unknown);
}

TEST(ForeignDispatch, FailedLoadLeavesTheModelResetAndSaysWhy)
{
    TempDir program;
    auto model = fresh_model(program);
    model->asym.push(AtomRecord{});
    model->cell.a = 5;
    RecordingMessages messages;

    // A file that is not there is named; nothing of the old structure stays.
    EXPECT_FALSE(load_structure_file(*model, program.path() + "/gone.cif", messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("gone.cif"), std::string::npos);
    EXPECT_TRUE(model->asym.empty());
    EXPECT_EQ(model->cell.a, 0.0);
    EXPECT_TRUE(model->source_file_name.empty());

    // The powder readers add the common failure message after their own.
    messages.shown.clear();
    {
        std::ofstream(program.path() + "/bad.lzy") << "TITLE bad\nCELL a b c\n";
    }
    EXPECT_FALSE(load_structure_file(*model, program.path() + "/bad.lzy", messages));
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"Cell not found", "Error while reading input file"}));
    EXPECT_TRUE(model->source_file_name.empty());

    // An unknown extension is refused before anything is reset.
    model->asym.push(AtomRecord{});
    messages.shown.clear();
    EXPECT_FALSE(load_structure_file(*model, program.path() + "/x.xyz", messages));
    EXPECT_EQ(model->asym.count(), 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("x.xyz"), std::string::npos);
}

TEST(ForeignDispatch, BaseNameAndSourceNameAfterLoad)
{
    const fs::path file = TestData / "shelx" / "hikari_NaCl.res";
    if (!fs::exists(file)) GTEST_SKIP() << "no " << file;
    TempDir program;
    auto model = fresh_model(program);
    RecordingMessages messages;
    ASSERT_TRUE(load_structure_file(*model, file.string(), messages));
    EXPECT_EQ(model->source_file_name, file.string());
    EXPECT_EQ(model->source_base_name, "hikari_NaCl");
    EXPECT_EQ(model->edit.data_changed, 1);
    // One operator selected after every load.
    EXPECT_EQ(model->selected_operators.count(), 1);
}
