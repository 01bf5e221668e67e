#include "formats/structure_files.h"

#include <array>
#include <filesystem>
#include <utility>

#include "formats/cif.h"
#include "formats/kes.h"
#include "formats/powder.h"
#include "formats/shelx.h"
#include "model/errors.h"
#include "model/file_io.h"
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

std::string structure_file_text(const std::string& path)
{
    // Repaired in place: a large file is held once.
    std::string text = read_file_bytes(path);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            text[kept++] = text[i];
            continue;
        }
        text[kept++] = '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    text.resize(kept);
    return text;
}

bool read_structure_text(StructureFormat format, std::string_view text, std::string_view file,
                         StructureModel& model, Messages& messages, std::string& summary)
{
    summary.clear();
    switch (format) {
    case StructureFormat::ShelxInstructions: return read_shelx_instructions(text, file, model, messages);
    case StructureFormat::ShelxListing: return read_shelx_listing(text, file, model, messages);
    case StructureFormat::Cif: return read_cif(text, file, model, messages, summary);
    case StructureFormat::LazyPulverix: return read_lazy_pulverix(text, file, model, messages);
    case StructureFormat::PowderCell: return read_powdercell(text, file, model, messages);
    case StructureFormat::Kestro:
    case StructureFormat::Unknown: break;
    }
    return false;
}

namespace {

// The reader's summary (a CIF's "Cifout.txt") beside the program's reports.
void write_summary(const StructureModel& model, const std::string& summary, Messages& messages)
{
    const std::filesystem::path directory(model.program_directory.empty() ? std::string(".")
                                                                         : model.program_directory);
    try {
        write_file_atomically((directory / "Cifout.txt").string(), summary);
    } catch (const IoError& error) {
        messages.show(std::string("Cifout.txt not written: ") + error.what());
    }
}

} // namespace

std::string unreadable_file_message(const std::string& name)
{
    return "The file " + base_name(name) + " is not a structure file KESTRO reads (" + ReadableExtensions + ")";
}

bool load_structure_file(StructureModel& model, const std::string& name, Messages& messages)
{
    const StructureFormat format = format_of(name);
    if (format == StructureFormat::Kestro) return load_ascii_structure(model, name, messages);
    if (format == StructureFormat::Unknown) {
        messages.show(unreadable_file_message(name));
        return false;
    }

    BusyScope busy(messages);
    reset_for_load(model);
    model.source_file_name = name;
    const std::string file = base_name(name);
    model.source_base_name = file.size() > 4 ? file.substr(0, file.size() - 4) : std::string();

    bool loaded = false;
    try {
        const std::string text = structure_file_text(name);
        std::string summary;
        try {
            loaded = read_structure_text(format, text, name, model, messages, summary);
        } catch (const IoError& error) { // reference data missing
            messages.show(error.what());
        }
        if (format == StructureFormat::Cif) write_summary(model, summary, messages);
    } catch (const IoError& error) {
        messages.show(error.what());
    }
    if (loaded) return true;
    if (format == StructureFormat::LazyPulverix || format == StructureFormat::PowderCell)
        messages.show("Error while reading input file");
    model.source_file_name.clear();
    return false;
}

} // namespace kestro
