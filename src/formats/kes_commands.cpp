#include <memory>

#include "model/file_io.h"
#include "formats/kes.h"
#include "model/errors.h"

namespace kestro {

bool load_ascii_structure(StructureModel& model, const std::string& name, Messages& messages)
{
    if (name.empty()) return false;
    BusyScope busy(messages);

    // The file is read into a copy: the structure on screen is replaced only
    // by a file read to its end.
    auto staged = std::make_unique<StructureModel>(model);
    reset_model(*staged);
    staged->selected.fill(0);
    staged->pending_file_name.clear();
    staged->current_file.clear();
    staged->ascii_file_name = with_default_extension(name, ".kes");
    try {
        if (!read_ascii_structure(read_file_bytes(staged->ascii_file_name), *staged, messages)) return false;
    } catch (const IoError& error) {
        messages.show(error.what());
        return false;
    }

    // Labels placed off centre by the user show as such again.
    DrawingOptions& d = staged->drawing;
    d.labels_centre = 0;
    d.labels_off_centre = 0;
    for (const AtomRecord& atom : staged->generated)
        if (atom.label_dx != 0 || atom.label_dy != 0) d.labels_off_centre = 1;
    for (int i = 1; i <= staged->generated.count(); ++i) staged->initial_generated[i] = staged->generated[i];

    model = *staged;
    return true;
}

bool save_ascii_structure(StructureModel& model, const std::string& name, Messages& messages)
{
    if (model.generated.empty() || name.empty()) return false;
    const std::string target = with_default_extension(name, ".kes");
    return write_after_confirmation(target, messages, [&] {
        model.current_file = target;
        write_ascii_structure(model);
    });
}

} // namespace kestro
