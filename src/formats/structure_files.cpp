#include "formats/structure_files.h"

#include <array>
#include <utility>

#include "formats/cif.h"
#include "formats/kes.h"
#include "formats/powder.h"
#include "formats/shelx.h"
#include "model/errors.h"
#include "model/text.h"

namespace kestro {

StructureFormat format_of(std::string_view name)
{
    const std::string file = base_name(name);
    const std::size_t dot = file.rfind('.');
    if (dot == std::string::npos) return StructureFormat::Unknown;
    const std::string extension = to_lower(std::string_view(file).substr(dot));
    static constexpr std::array<std::pair<const char*, StructureFormat>, 11> table{{
        {".kes", StructureFormat::Kestro},
        {".kst", StructureFormat::Kestro},
        {".ins", StructureFormat::ShelxInstructions},
        {".res", StructureFormat::ShelxInstructions},
        {".inp", StructureFormat::ShelxInstructions},
        {".shx", StructureFormat::ShelxInstructions},
        {".lst", StructureFormat::ShelxListing},
        {".out", StructureFormat::ShelxListing},
        {".cif", StructureFormat::Cif},
        {".lzy", StructureFormat::LazyPulverix},
        {".cel", StructureFormat::PowderCell},
    }};
    for (const auto& [text, format] : table)
        if (extension == text) return format;
    return StructureFormat::Unknown;
}

void reset_for_load(StructureModel& model)
{
    reset_model(model);
    for (int i = 1; i <= MaxOperators; ++i) model.selected[i] = 0;
    model.asym.clear();
    model.operators.clear();
    model.selected_operators.clear();
    model.generated.clear();
    model.bonds.clear();
    model.element_sorts.clear();
    model.bond_sorts.clear();
    model.centring_count = 0;
    model.listed_operator_count = 0;
    model.cell = CrystalCell{};
    model.wavelength = 0;
    model.title.clear();
    model.space_group.clear();
    model.lattice_letter.clear();
    model.centro_flag = 0;
}

namespace {

bool run_reader(StructureFormat format, StructureModel& model, Messages& messages)
{
    switch (format) {
    case StructureFormat::ShelxInstructions: return read_shelx_instructions(model, messages);
    case StructureFormat::ShelxListing: return read_shelx_listing(model, messages);
    case StructureFormat::Cif: return read_cif(model, messages);
    case StructureFormat::LazyPulverix: return read_lazy_pulverix(model, messages);
    case StructureFormat::PowderCell: return read_powdercell(model, messages);
    case StructureFormat::Kestro:
    case StructureFormat::Unknown: break;
    }
    return false;
}

} // namespace

bool load_structure_file(StructureModel& model, const std::string& name, Messages& messages)
{
    const StructureFormat format = format_of(name);
    if (format == StructureFormat::Kestro) return load_ascii_structure(model, name, messages);
    if (format == StructureFormat::Unknown) {
        messages.show("The file " + base_name(name) + " is not a structure file KESTRO reads (" +
                      ReadableExtensions + ")");
        return false;
    }

    BusyScope busy(messages);
    reset_for_load(model);
    model.source_file_name = name;
    const std::string file = base_name(name);
    model.source_base_name = file.size() > 4 ? file.substr(0, file.size() - 4) : std::string();

    bool loaded = false;
    try {
        loaded = run_reader(format, model, messages);
    } catch (const IoError& error) {
        messages.show(error.what());
        loaded = false;
    }
    if (loaded) return true;
    if (format == StructureFormat::LazyPulverix || format == StructureFormat::PowderCell)
        messages.show("Error while reading input file");
    model.source_file_name.clear();
    return false;
}

} // namespace kestro
