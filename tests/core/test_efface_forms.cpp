// Deleting atoms from the asymmetric unit: by element (sorts rebuilt), by
// marks, and by a range of numbers; with rayons.cst in a temporary folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "crystal/sorts.h"
#include "forms/efface.h"
#include "model/errors.h"
#include "recording_messages.h"
#include "temp_dir.h"

using namespace kestro;
using namespace kestro::efface;
using namespace kestro::mask_element;

namespace {

std::unique_ptr<StructureModel> with_atoms(const TempDir& dir, std::initializer_list<const char*> labels)
{
    auto model = std::make_unique<StructureModel>();
    model->data_directory = dir.path();
    dir.write("rayons.cst", "C\r\n0.77\r\nCL\r\n0.99\r\nO\r\n0.66\r\n");
    double x = 0;
    for (const char* label : labels) {
        AtomRecord atom;
        atom.label = label;
        atom.xyz = {x += 0.1, 0.2, 0.3};
        model->asym.push(atom);
    }
    return model;
}

std::vector<std::string> labels(const StructureModel& model)
{
    std::vector<std::string> out;
    for (const AtomRecord& atom : model.asym) out.push_back(atom.label.str());
    return out;
}

std::vector<std::string> symbols(const StructureModel& model) { return element_rows(model); }

} // namespace

TEST(Marks, ClickAddsOrRemovesTheFirstStar)
{
    EXPECT_EQ(toggle_mark("CL"), "CL*");
    EXPECT_EQ(toggle_mark("CL*"), "CL");
    EXPECT_EQ(toggle_mark("*C*"), "C*");
    EXPECT_TRUE(is_marked("O 1*"));
    EXPECT_FALSE(is_marked("O 1"));
}

TEST(DeleteElements, RemovesEveryAtomOfTheMarkedElementAndRebuildsTheSorts)
{
    TempDir dir;
    auto model = with_atoms(dir, {"CL1", "C 1", "CL12", "O 1", "C 2"});
    RecordingMessages messages;
    ASSERT_TRUE(build_bond_sorts(*model, messages));
    ASSERT_EQ(symbols(*model), (std::vector<std::string>{"CL", "C", "O"}));

    // Rows CL, C, O: CL marked (the "*" and blanks do not count).
    EXPECT_EQ(del_elem_system(*model, {" CL *", "C", "O"}, messages), DeletionOutcome::Deleted);
    EXPECT_EQ(messages.asked,
              std::vector<std::string>{"Are you sure to want to systematicaly delete the selected types of atom?"});
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(labels(*model), (std::vector<std::string>{"C 1", "O 1", "C 2"}));
    EXPECT_EQ(symbols(*model), (std::vector<std::string>{"C", "O"}));
    ASSERT_EQ(model->bond_sorts.count(), 3); // C-C, C-O, O-O
    EXPECT_EQ(model->bond_sorts[1].element1, "C");
    EXPECT_EQ(model->bond_sorts[1].element2, "C");
    EXPECT_NEAR(model->bond_sorts[1].max_length, 0.77 * 2 * 1.2, 1e-12);
    EXPECT_EQ(model->asym[1].element_sort, 1);
    EXPECT_EQ(model->asym[2].element_sort, 2);
    EXPECT_EQ(model->edit.data_changed, 1);
}

TEST(DeleteElements, GeneratedAtomsFollowTheRenumberedSorts)
{
    TempDir dir;
    auto model = with_atoms(dir, {"CL1", "C 1"});
    RecordingMessages messages;
    ASSERT_TRUE(build_bond_sorts(*model, messages));
    for (const char* label : {"C 1", "CL1"}) {
        AtomRecord atom;
        atom.label = label;
        model->generated.push(atom);
    }
    model->generated[1].element_sort = 2;
    model->generated[2].element_sort = 1;
    ASSERT_EQ(del_elem_system(*model, {"CL*", "C"}, messages), DeletionOutcome::Deleted);
    // The mask dialog's row 1 is now C: the generated C atom must say so.
    EXPECT_EQ(model->generated[1].element_sort, 1);
    EXPECT_EQ(model->generated[2].element_sort, 0);
}

TEST(DeleteElements, NothingMarkedOrNotConfirmedChangesNothing)
{
    TempDir dir;
    auto model = with_atoms(dir, {"CL1", "C 1"});
    RecordingMessages messages;
    ASSERT_TRUE(build_bond_sorts(*model, messages));

    EXPECT_EQ(del_elem_system(*model, {"CL", "C"}, messages), DeletionOutcome::Nothing);
    EXPECT_TRUE(messages.asked.empty());
    EXPECT_EQ(messages.beeps, 0);

    for (Answer answer : {Answer::No, Answer::Cancel}) {
        messages.answers = {answer};
        EXPECT_EQ(del_elem_system(*model, {"CL*", "C"}, messages), DeletionOutcome::Declined);
        EXPECT_EQ(labels(*model), (std::vector<std::string>{"CL1", "C 1"}));
        EXPECT_EQ(model->element_sorts.count(), 2);
    }
}

TEST(DeleteElements, EveryElementLeavesAnEmptyConsistentModel)
{
    TempDir dir;
    auto model = with_atoms(dir, {"CL1", "C 1"});
    RecordingMessages messages;
    ASSERT_TRUE(build_bond_sorts(*model, messages));
    ASSERT_EQ(del_elem_system(*model, {"CL*", "C*"}, messages), DeletionOutcome::Deleted);
    EXPECT_EQ(model->asym.count(), 0);
    EXPECT_EQ(model->element_sorts.count(), 0);
    EXPECT_EQ(model->bond_sorts.count(), 0);
}

TEST(DeleteElements, MissingRadiiFilePutsTheAtomsBack)
{
    TempDir dir;
    auto model = with_atoms(dir, {"CL1", "C 1"});
    RecordingMessages messages;
    ASSERT_TRUE(build_bond_sorts(*model, messages));
    model->data_directory = dir.file("nowhere");
    EXPECT_THROW(del_elem_system(*model, {"CL*", "C"}, messages), IoError);
    EXPECT_EQ(labels(*model), (std::vector<std::string>{"CL1", "C 1"}));
    EXPECT_EQ(model->element_sorts.count(), 2);
}

TEST(DeleteAtoms, MarkedRowsGoTheOthersKeepTheirOrder)
{
    TempDir dir;
    auto model = with_atoms(dir, {"C 1", "C 2", "O 1", "O 2", "CL1"});
    RecordingMessages messages;
    EXPECT_EQ(del_atom(*model, {"C 1", "C 2*", "O 1", "O 2*", "CL1"}, messages), DeletionOutcome::Deleted);
    EXPECT_EQ(messages.asked, std::vector<std::string>{"Are you sure to want to delete the selected atoms ?"});
    EXPECT_EQ(labels(*model), (std::vector<std::string>{"C 1", "O 1", "CL1"}));
    EXPECT_DOUBLE_EQ(model->asym[2].xyz[0], 0.3); // the record moved whole
    EXPECT_EQ(model->edit.atoms_changed, 1);
}

TEST(DeleteAtoms, NoMarkClosesWithoutQuestionAndNoKeepsEverything)
{
    TempDir dir;
    auto model = with_atoms(dir, {"C 1", "C 2"});
    RecordingMessages messages;
    // A mark in a row past the atom count is not an atom.
    EXPECT_EQ(del_atom(*model, {"C 1", "C 2", "*"}, messages), DeletionOutcome::Nothing);
    EXPECT_TRUE(messages.asked.empty());
    messages.answers = {Answer::No};
    EXPECT_EQ(del_atom(*model, {"C 1*", "C 2"}, messages), DeletionOutcome::Declined);
    EXPECT_EQ(model->asym.count(), 2);
}

TEST(DeleteBlock, ReversedBoundsAreSwapped)
{
    TempDir dir;
    auto model = with_atoms(dir, {"A1", "A2", "A3", "A4", "A5", "A6"});
    RecordingMessages messages;
    EXPECT_EQ(efface_bloc(*model, "5", "3", messages), DeletionOutcome::Deleted);
    EXPECT_EQ(messages.asked, std::vector<std::string>{"Are you sure to want to delete the atoms 3 to 5 ?"});
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(labels(*model), (std::vector<std::string>{"A1", "A2", "A6"}));
}

TEST(DeleteBlock, NumbersPastTheCountReferToNoAtom)
{
    TempDir dir;
    auto model = with_atoms(dir, {"A1", "A2", "A3", "A4"});
    RecordingMessages messages;
    EXPECT_EQ(efface_bloc(*model, " 3", "10 ", messages), DeletionOutcome::Deleted);
    EXPECT_EQ(labels(*model), (std::vector<std::string>{"A1", "A2"}));
    EXPECT_EQ(efface_bloc(*model, "-4", "1", messages), DeletionOutcome::Deleted);
    EXPECT_EQ(labels(*model), (std::vector<std::string>{"A2"}));
    EXPECT_EQ(efface_bloc(*model, "1", "1", messages), DeletionOutcome::Deleted);
    EXPECT_EQ(model->asym.count(), 0);
}

TEST(DeleteBlock, RangeWithoutAtomsIsRefusedBeforeTheQuestion)
{
    TempDir dir;
    auto model = with_atoms(dir, {"A1", "A2", "A3", "A4"});
    RecordingMessages messages;
    EXPECT_EQ(efface_bloc(*model, "12", "5", messages), DeletionOutcome::Refused);
    EXPECT_EQ(efface_bloc(*model, "0", "-3", messages), DeletionOutcome::Refused);
    EXPECT_EQ(messages.shown,
              (std::vector<std::string>{"No atom in the range 5 to 12", "No atom in the range -3 to 0"}));
    EXPECT_TRUE(messages.asked.empty());
    EXPECT_EQ(model->asym.count(), 4);
}

TEST(DeleteBlock, EmptyOrNonNumericFieldsDeleteNothing)
{
    TempDir dir;
    auto model = with_atoms(dir, {"A1", "A2", "A3"});
    RecordingMessages messages;
    EXPECT_EQ(efface_bloc(*model, "", "2", messages), DeletionOutcome::Nothing);
    EXPECT_EQ(efface_bloc(*model, "1", "  ", messages), DeletionOutcome::Nothing);
    EXPECT_EQ(efface_bloc(*model, "1", "2.5", messages), DeletionOutcome::Refused);
    EXPECT_EQ(efface_bloc(*model, "x", "2", messages), DeletionOutcome::Refused);
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"'2.5' is not a valid integer value",
                                                        "'x' is not a valid integer value"}));
    EXPECT_TRUE(messages.asked.empty());
    messages.answers = {Answer::Cancel};
    EXPECT_EQ(efface_bloc(*model, "1", "2", messages), DeletionOutcome::Declined);
    EXPECT_EQ(model->asym.count(), 3);
}

TEST(MaskElements, MarkedElementsHiddenWhateverSortNumberTheAtomsCarry)
{
    TempDir dir;
    auto model = with_atoms(dir, {"CL1", "C 1", "CL2"});
    RecordingMessages messages;
    ASSERT_TRUE(build_bond_sorts(*model, messages));
    // Generated atoms as a structure file leaves them: no sort numbers.
    for (const char* label : {"CL1", "C 1", "CL2", "C 2"}) {
        AtomRecord atom;
        atom.label = label;
        atom.shown = 1;
        model->generated.push(atom);
    }
    const std::vector<std::string> rows = element_rows(*model);
    ASSERT_EQ(rows, (std::vector<std::string>{"CL", "C"}));
    EXPECT_EQ(mask_elements(*model, {"CL*", "C"}), 2);
    EXPECT_EQ(model->generated[1].shown, 0);
    EXPECT_EQ(model->generated[2].shown, 1);
    EXPECT_EQ(model->generated[3].shown, 0);
    EXPECT_EQ(mask_elements(*model, {"CL", "C"}), 0);
}
