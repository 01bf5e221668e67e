#pragma once
// What each fuzz harness does with one input. The replay test of the core
// tests includes this header too, so a saved input goes through exactly the
// calls that found it.
//
// kestro::IoError is how a reader refuses a text, and is caught here. Any
// other exception leaves run_target for the caller: libFuzzer reports it as
// a crash, the replay test as a failure.


#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/mean_plane.h"
#include "analysis/reports.h"
#include "crystal/bonds.h"
#include "crystal/generation.h"
#include "crystal/oemath.h"
#include "crystal/operators.h"
#include "drawing/drawing_state.h"
#include "drawing/scene.h"
#include "formats/kes.h"
#include "formats/shelx.h"
#include "formats/structure_files.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "model/messages.h"
#include "model/numbers.h"
#include "model/structure_model.h"
#include "output/metafile_picture.h"
#include "output/printed_page.h"
#include "../core/recording_canvas.h"

namespace kestro_fuzz {

enum class Target { Kes, ShelxInstructions, ShelxListing, Cif, PowderCell, LazyPulverix, OperatorText };

// The harness of each target; also its folder of saved inputs under
// tests/data/fuzz/ and the name of its fuzzer binary ("fuzz_" + name).
struct TargetName {
    Target target;
    const char* name;
};
inline constexpr std::array<TargetName, 7> Targets{{
    {Target::Kes, "kes"},
    {Target::ShelxInstructions, "shelx_ins"},
    {Target::ShelxListing, "shelx_lst"},
    {Target::Cif, "cif"},
    {Target::PowderCell, "powdercell"},
    {Target::LazyPulverix, "lazy_pulverix"},
    {Target::OperatorText, "operators"},
}};

// Texts are dropped; every question is answered No, so nothing is
// overwritten and no dialog would open.
class QuietMessages : public kestro::Messages {
public:
    int shown = 0;
    void show(const std::string&) override { ++shown; }
    kestro::Answer ask(const std::string&) override { return kestro::Answer::No; }
};


inline const std::string& program_directory()
{
    // The readers may leave files in model.program_directory: one private
    // directory per process, removed at exit, so parallel fuzzers never share them.
    static const kestro::PrivateDirectory directory;
    return directory.path();
}

// A model as the program holds it before a load. The model is a megabyte:
// it lives on the heap, and each of the two slots below is allocated once
// and then built anew in place for every input, which spares the page
// faults of a fresh megabyte per input (most of the time of a run).
class ModelSlot {
public:
    kestro::StructureModel& fresh()
    {
        if (!model_) {
            model_ = std::make_unique<kestro::StructureModel>();
        } else {
            std::destroy_at(model_.get());
            std::construct_at(model_.get());
        }
        model_->data_directory = KESTRO_SOURCE_DATA_DIR;
        model_->program_directory = program_directory();
        return *model_;
    }

private:
    std::unique_ptr<kestro::StructureModel> model_;
};

// The model an input is read into, and the one a saved .kes is read back into.
inline ModelSlot& loaded_slot()
{
    static ModelSlot slot;
    return slot;
}
inline ModelSlot& reread_slot()
{
    static ModelSlot slot;
    return slot;
}

// The drawing state, a megabyte too: allocated once, built anew per input.
inline kestro::DrawingState& fresh_drawing()
{
    static std::unique_ptr<kestro::DrawingState> state;
    if (!state) {
        state = std::make_unique<kestro::DrawingState>();
    } else {
        std::destroy_at(state.get());
        std::construct_at(state.get());
    }
    return *state;
}

// Everything a user can do with a plotted structure, on the atoms and bonds
// the model holds: the picture on the recording canvas, every report (the
// environment of atom 1, the plane of atoms 1 to 3), the printed page and
// the metafile picture.
inline void use_plotted(kestro::StructureModel& model, kestro::Messages& messages)
{
    if (model.generated.empty()) return;
    kestro::DrawingState& state = fresh_drawing();
    kestro::prepare_drawing(model, state, 686, 686, messages);
    RecordingCanvas screen;
    kestro::draw_scene(model, state, screen);
    (void)kestro::distances_grid(model);
    (void)kestro::distances_report(model);
    (void)kestro::coordinates_lines(model);
    (void)kestro::coordinates_report(model);
    (void)kestro::environment_report(model, state.view, 1, 3.0);
    if (model.generated.count() >= 3)
        (void)kestro::run_plane_library(model, {{1, 2, 3}}, program_directory());
    RecordingCanvas page(3508, 2480); // A4 landscape at 300 DPI
    kestro::draw_printed_page(model, kestro::PrintSettings{}, page, messages);
    const kestro::MetafileSettings metafile;
    RecordingCanvas picture(metafile.width, metafile.width);
    kestro::draw_metafile_picture(model, metafile, picture, messages);
}

// What a user does next with a loaded structure: save it in both writable
// formats, read the saved .kes back, plot through the operators the load
// selected (the identity; without a box, so the work stays in proportion to
// the asymmetric unit) and use the plotted structure.
inline void after_load(kestro::StructureModel& model, kestro::Messages& messages)
{
    const std::string kes = kestro::ascii_structure_text(model);
    (void)kestro::shelx_instructions_text(model);
    (void)kestro::read_ascii_structure(kes, reread_slot().fresh(), messages);
    (void)kestro::generer(model, messages);
    use_plotted(model, messages);
}

inline void run_foreign(kestro::StructureFormat format, std::string_view text, const char* file)
{
    kestro::StructureModel& model = loaded_slot().fresh();
    QuietMessages messages;
    kestro::reset_for_load(model);
    std::string summary;
    if (kestro::read_structure_text(format, text, file, model, messages, summary)) after_load(model, messages);
}

inline void run_kes(std::string_view text)
{
    kestro::StructureModel& model = loaded_slot().fresh();
    QuietMessages messages;
    kestro::reset_model(model);
    model.selected.fill(0);
    if (!kestro::read_ascii_structure(text, model, messages)) return;
    // A .kes is drawn and reported as stored, its bonds as the file gives
    // them; its atoms' bonds are searched as a reset of the drawing window
    // does; then it is plotted anew.
    use_plotted(model, messages);
    (void)kestro::liaisons(model, messages);
    after_load(model, messages);
}

// The operator texts of SYMM lines, CIF loops, the catalogues and the grid:
// the whole input to each parser, and each comma-separated part of it to
// the component and fraction readers; a parsed operator is written back.
inline void run_operator_text(std::string_view text)
{
    if (auto op = kestro::parse_symm_operator(text)) (void)kestro::operator_text(*op);
    if (auto op = kestro::parse_operator_xyz(text)) (void)kestro::operator_text(*op);
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view part = text.substr(start, comma == std::string_view::npos ? comma : comma - start);
        std::array<double, 4> row{};
        if (kestro::read_catalogue_component(part, row)) (void)kestro::format_operator_row(row);
        (void)kestro::parse_fraction(part);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
}

inline void run_target(Target target, std::string_view text)
{
    try {
        switch (target) {
        case Target::Kes: run_kes(text); break;
        case Target::ShelxInstructions: run_foreign(kestro::StructureFormat::ShelxInstructions, text, "fuzz.ins"); break;
        case Target::ShelxListing: run_foreign(kestro::StructureFormat::ShelxListing, text, "fuzz.lst"); break;
        case Target::Cif: run_foreign(kestro::StructureFormat::Cif, text, "fuzz.cif"); break;
        case Target::PowderCell: run_foreign(kestro::StructureFormat::PowderCell, text, "fuzz.cel"); break;
        case Target::LazyPulverix: run_foreign(kestro::StructureFormat::LazyPulverix, text, "fuzz.lzy"); break;
        case Target::OperatorText: run_operator_text(text); break;
        }
    } catch (const kestro::IoError&) {
    }
}

} // namespace kestro_fuzz
