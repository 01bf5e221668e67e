#pragma once
// Deleting atoms from the asymmetric unit: every atom of chosen elements
// (the element and bond sorts rebuilt after), atoms chosen one by one, or a
// range of atom numbers; and hiding the generated atoms of chosen elements
// from the drawing. The dialogs' lists mark a row with a "*" appended
// to its cell text; these functions take those cell texts as they stand.

#include <array>
#include <string>
#include <vector>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// A click on a list cell: "*" appended when the text has none, otherwise
// its first "*" removed.
std::string toggle_mark(const std::string& text);
bool is_marked(const std::string& text);

// Row texts of the element list: the symbol of each element sort as stored.
std::vector<std::string> element_rows(const StructureModel& model);
// Row texts of the atom list: number and label as stored, per atom.
std::vector<std::array<std::string, 2>> atom_rows(const StructureModel& model);

} // namespace kestro

// TfeffaceE, TfeffaceA and TfeffaceB: delete elements, atoms, a bloc.
namespace kestro::efface {

// What the dialog does after OK.
enum class DeletionOutcome {
    Nothing,  // nothing chosen: the dialog closes, the model is unchanged
    Declined, // the question was answered No or Cancel: the dialog stays open
    Refused,  // the input was refused with a message: the dialog stays open
    Deleted,  // atoms were removed: the dialog closes
};

// element_cells[i] is the cell of element row i + 1. The marked symbols
// (mark removed, trimmed, compared upper case) are asked about; on Yes every
// atom whose element symbol (first two characters of the spaced label) is
// one of them is removed, the element and bond sorts are rebuilt from the
// atoms left, and the generated atoms are pointed at the new element sorts
// (0 for an element that is gone) until the next plot regenerates them.
// When the sorts cannot be rebuilt (IoError from the radii file) the atoms
// are put back and the error passed on.
DeletionOutcome del_elem_system(StructureModel& model, const std::vector<std::string>& element_cells,
                                Messages& messages);

// label_cells[i] is the "Atom" cell of atom i + 1; the marked atoms are
// asked about and on Yes removed, the others keeping their order.
DeletionOutcome del_atom(StructureModel& model, const std::vector<std::string>& label_cells, Messages& messages);

// "From Nb" and "To Nb": an empty field gives Nothing. Both must be whole
// numbers ("'x' is not a valid integer value" otherwise); reversed bounds
// are swapped, so 5 and 3 delete atoms 3 to 5. Numbers past the atom count
// refer to no atom; a range that holds no atom at all is refused with
// "No atom in the range " from " to " to. On Yes to the question the atoms
// from..to are removed.
DeletionOutcome efface_bloc(StructureModel& model, const std::string& from_text, const std::string& to_text,
                            Messages& messages);

} // namespace kestro::efface

// Tfmask_element, "Mask elements".
namespace kestro::mask_element {

// element_cells[i] is the cell of element row i + 1 (the element sorts in
// order); every generated atom of a marked element is hidden, the others are not touched. Returns the number of atoms hidden.
int mask_elements(StructureModel& model, const std::vector<std::string>& element_cells);

} // namespace kestro::mask_element
