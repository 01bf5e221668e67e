// What the box and sphere dialogs show and store in the generation options.
#include <gtest/gtest.h>

#include <memory>

#include "forms/enclosure.h"
#include "recording_messages.h"

using namespace kestro;
using namespace kestro::boite;
using namespace kestro::sphere;

namespace {

std::unique_ptr<StructureModel> with_atom(const char* label, Vec3 xyz)
{
    auto model = std::make_unique<StructureModel>();
    AtomRecord atom;
    atom.label = label;
    atom.xyz = xyz;
    model->asym.push(atom);
    return model;
}

} // namespace

TEST(EnclosureAtomList, LabelCutToFiveThenCoordinatesWidthEight)
{
    auto model = with_atom("C 1", {0.1234, -0.5, 0.25});
    AtomRecord wide;
    wide.label = "CL12";
    wide.xyz = {1, 0, -0.00001};
    model->asym.push(wide);
    EXPECT_EQ(enclosure_atom_lines(*model),
              (std::vector<std::string>{"C 1   0.1234 -0.5000  0.2500", "CL12   1.0000  0.0000  0.0000"}));
}

TEST(EnclosureCentre, ClickedAtomGivesItsCoordinatesWithOneBlankInFront)
{
    auto model = with_atom("C 1", {0.1234, -0.5, 0.25});
    std::array<std::string, 3> centre;
    ASSERT_TRUE(centre_from_atom(*model, 1, centre));
    EXPECT_EQ(centre, (std::array<std::string, 3>{" 0.1234", " -0.5000", " 0.2500"}));
    // A coordinate wider than its column still comes out whole.
    model->asym[1].xyz = {-123.45678, 10, 0};
    ASSERT_TRUE(centre_from_atom(*model, 1, centre));
    EXPECT_EQ(centre[0], " -123.4568");
    EXPECT_FALSE(centre_from_atom(*model, 0, centre));
    EXPECT_FALSE(centre_from_atom(*model, 2, centre));
}

TEST(EnclosureFields, ShownInTheirFixedFormats)
{
    StructureModel model;
    const BoxFields box = box_fields(model);
    EXPECT_EQ(box.edges, (std::array<std::string, 3>{"  1.010", "  1.010", "  1.010"}));
    EXPECT_EQ(box.centre, (std::array<std::string, 3>{" 0.5000", " 0.5000", " 0.5000"}));
    EXPECT_EQ(box.cut, CutChoice::Yes);
    EXPECT_EQ(sphere_fields(model).radius, " 6.000");
}

TEST(BoxOk, StoresEveryFieldAndTheCutChoiceButNotTheOption)
{
    StructureModel model;
    model.generation.box = 1;
    RecordingMessages messages;
    BoxFields fields{{"2", " 1.5", "0.25"}, {" 0.1234", "-0.5", ""}, CutChoice::No};
    model.generation.box_reduce = 1;
    EXPECT_EQ(Lecture_limites(model, fields, messages), -1);
    EXPECT_EQ(model.generation.box_size, (Vec3{2, 1.5, 0.25}));
    EXPECT_EQ(model.generation.centre, (Vec3{0.1234, -0.5, 0}));
    EXPECT_EQ(fields.centre[2], "0");
    EXPECT_EQ(model.generation.box_reduce, 0);
    EXPECT_EQ(model.generation.box, 1);
    EXPECT_EQ(messages.beeps, 0);

    fields.cut = CutChoice::None; // neither button: the flag stays
    EXPECT_EQ(Lecture_limites(model, fields, messages), -1);
    EXPECT_EQ(model.generation.box_reduce, 0);
    fields.cut = CutChoice::Yes;
    EXPECT_EQ(Lecture_limites(model, fields, messages), -1);
    EXPECT_EQ(model.generation.box_reduce, 1);
}

TEST(BoxOk, BadFieldStopsTheReadingThoseBeforeItKeepTheirValues)
{
    StructureModel model;
    RecordingMessages messages;
    BoxFields fields{{"2", "3", "4"}, {"0.1", "0,2", "0.3"}, CutChoice::No};
    EXPECT_EQ(Lecture_limites(model, fields, messages), 4); // "y/b"
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(model.generation.box_size, (Vec3{2, 3, 4}));
    EXPECT_EQ(model.generation.centre, (Vec3{0.1, 0.5, 0.5}));
    EXPECT_EQ(model.generation.box_reduce, 0); // reduction untouched

    // A negative edge is no box at all: refused like a bad number.
    BoxFields negative{{"1", "-1", "1"}, {"0", "0", "0"}, CutChoice::Yes};
    EXPECT_EQ(Lecture_limites(model, negative, messages), 1);
    for (const char* bad : {"abc", "nan", "inf", "1e400", "1 2"}) {
        BoxFields f{{bad, "1", "1"}, {"0", "0", "0"}, CutChoice::Yes};
        EXPECT_EQ(Lecture_limites(model, f, messages), 0) << bad;
    }
}

TEST(SphereOk, EmptyRadiusBecomesZeroAndBadCentreStops)
{
    StructureModel model;
    model.generation.sphere = 1;
    RecordingMessages messages;
    SphereFields fields{"", {"0.1", "0.2", "0.3"}, CutChoice::No};
    model.generation.sphere_reduce = 1;
    EXPECT_EQ(read_sphere_fields(model, fields, messages), -1);
    EXPECT_EQ(fields.radius, "0");
    EXPECT_EQ(model.generation.sphere_radius, 0);
    EXPECT_EQ(model.generation.centre, (Vec3{0.1, 0.2, 0.3}));
    EXPECT_EQ(model.generation.sphere_reduce, 0);
    EXPECT_EQ(model.generation.sphere, 1);

    SphereFields bad{"7.5", {"0.4", "x", "0.6"}, CutChoice::Yes};
    EXPECT_EQ(read_sphere_fields(model, bad, messages), 2);
    EXPECT_EQ(model.generation.sphere_radius, 7.5);
    EXPECT_EQ(model.generation.centre, (Vec3{0.4, 0.2, 0.3}));
    EXPECT_EQ(model.generation.sphere_reduce, 0);

    SphereFields negative{"-2", {"0", "0", "0"}, CutChoice::Yes};
    EXPECT_EQ(read_sphere_fields(model, negative, messages), 0);
    EXPECT_EQ(model.generation.sphere_radius, 7.5);
    EXPECT_EQ(messages.beeps, 2);
}

TEST(EnclosureCancel, SwitchesOnlyItsOwnOptionOff)
{
    StructureModel model;
    model.generation.box = model.generation.sphere = 1;
    annule_sphere(model);
    EXPECT_EQ(model.generation.sphere, 0);
    EXPECT_EQ(model.generation.box, 1);
    annule_box(model);
    EXPECT_EQ(model.generation.box, 0);
}

TEST(EnclosureCentre, SharedByTheTwoDialogs)
{
    StructureModel model;
    RecordingMessages messages;
    BoxFields box{{"1", "1", "1"}, {"0.125", "0.25", "0.75"}, CutChoice::Yes};
    ASSERT_EQ(Lecture_limites(model, box, messages), -1);
    EXPECT_EQ(sphere_fields(model).centre, (std::array<std::string, 3>{" 0.1250", " 0.2500", " 0.7500"}));
}
