// The drawing window's state machine, driven with pixel clicks on a small
// structure in a cubic cell of 10 A (view frame = crystal frame at start).

#include <gtest/gtest.h>

#include <cmath>

#include "forms/limat.h"
#include "drawing/interaction.h"
#include "drawing/view.h"
#include "drawing_fixture.h"

using namespace kestro;

namespace {

struct Bench {
    std::unique_ptr<StructureModel> model;
    std::unique_ptr<DrawingState> drawing;
    std::unique_ptr<InteractionState> state = std::make_unique<InteractionState>();
    RecordingMessages messages;
    Workbench bench;

    // C1 at the centre, C2 1.5 A to its right, O1 1.5 A above it, N1 away.
    explicit Bench(std::vector<FixtureAtom> atoms = {{"C 1", {0.5, 0.5, 0.5}, uiso(0.02)},
                                                     {"C 2", {0.65, 0.5, 0.5}, uiso(0.02)},
                                                     {"O 1", {0.5, 0.65, 0.5}, uiso(0.02)},
                                                     {"N 1", {0.3, 0.3, 0.5}, uiso(0.02)}})
        : model(drawing_model(atoms)), drawing(prepared(*model)), bench{*model, *drawing, *state, messages}
    {
    }

    PixelPoint at(int atom) const { return point_pixel(*drawing, atom); }
    Reaction click(PixelPoint p, std::string_view label_box = {})
    {
        flag_on(bench, MouseButton::Left, p);
        return mouse_up(bench, MouseButton::Left, p, label_box);
    }
    Reaction click_atom(int atom) { return click(at(atom)); }
    Reaction right_click(PixelPoint p = {0, 0})
    {
        flag_on(bench, MouseButton::Right, p);
        return mouse_up(bench, MouseButton::Right, p);
    }
    Reaction drag(PixelPoint from, PixelPoint to)
    {
        flag_on(bench, MouseButton::Left, from);
        mouse_move(bench, {(from.x + to.x) / 2, (from.y + to.y) / 2});
        mouse_move(bench, to);
        return mouse_up(bench, MouseButton::Left, to);
    }
    const std::string& prompt() const { return state->parts.prompt; }
};

} // namespace

TEST(InteractionHitTest, LowerIndexWinsWithinTenPixelsAndMaskedAtomsAreHit)
{
    // Atoms 1 and 2 are 0.05 A apart: a few pixels, both within reach.
    Bench b({{"C 1", {0.5, 0.5, 0.5}, uiso(0.02)},
             {"C 2", {0.505, 0.5, 0.5}, uiso(0.02)},
             {"O 1", {0.2, 0.5, 0.5}, uiso(0.02)}});
    const PixelPoint p2 = b.at(2);
    ASSERT_LT(std::abs(p2.x - b.at(1).x), 10);
    EXPECT_EQ(hit_test(*b.model, *b.drawing, p2), 1);
    b.model->generated[1].shown = 0;
    EXPECT_EQ(hit_test(*b.model, *b.drawing, p2), 1);
    const PixelPoint o = b.at(3);
    EXPECT_EQ(hit_test(*b.model, *b.drawing, {o.x + 9, o.y - 9}), 3);
    EXPECT_EQ(hit_test(*b.model, *b.drawing, {o.x + 10, o.y}), 0);
}

TEST(InteractionDistance, TextToTheCharacterAndAThirdClickStartsAgain)
{
    Bench b;
    start_mode(b.bench, PickMode::Distance);
    EXPECT_EQ(b.prompt(), "To dispaly a bond length: Click on two atoms. (Click on the right button to stop)");
    Reaction r = b.click_atom(1);
    ASSERT_TRUE(r.mark);
    EXPECT_EQ(r.mark->centre, b.at(1));
    EXPECT_EQ(r.mark->radius, 5);
    EXPECT_EQ(b.prompt(), "Click on the second atom. Right button to cancel");
    r = b.click_atom(2);
    EXPECT_EQ(b.prompt(), "Distance C 1-C 2 =  1.500 (Click on the right button to end or click again on a first "
                          "atom to continue)");
    EXPECT_FALSE(r.redraw); // the marks stay on the picture
    b.click_atom(3);
    EXPECT_EQ(b.state->pick_a.count, 1);
    EXPECT_EQ(b.prompt(), "Click on the second atom. Right button to cancel");
    b.click_atom(1);
    EXPECT_NE(b.prompt().find("Distance O 1-C 1 =  1.500"), std::string::npos);
    // A click beside every atom does nothing.
    b.click({1, 1});
    EXPECT_EQ(b.state->pick_a.count, 0);
}

TEST(InteractionAngle, AngleAtTheSecondAtomWithABeep)
{
    Bench b;
    start_mode(b.bench, PickMode::Angle);
    b.click_atom(2);
    EXPECT_EQ(b.prompt(), "Click on the second atom. Right button to cancel");
    b.click_atom(1);
    EXPECT_EQ(b.prompt(), "Click on the third atom. Right button to cancel");
    const int beeps = b.messages.beeps;
    b.click_atom(3);
    EXPECT_EQ(b.prompt(), "Angle C 2-C 1-O 1 = 90.00 (Click right to stop)");
    EXPECT_EQ(b.messages.beeps, beeps + 1);
    EXPECT_EQ(b.state->pick_b.count, 0);
    // Straight and degenerate angles: no NaN from rounding, NaN for a repeated atom.
    EXPECT_NEAR(view_angle(*b.drawing, 2, 1, 2), 0.0, 1e-6);
    EXPECT_TRUE(std::isnan(view_angle(*b.drawing, 1, 1, 2)));
}

TEST(InteractionBondToggle, SelfBondEitherOrderDeletionAndTheFullTable)
{
    Bench b;
    const int bonds = b.model->bonds.count();
    start_mode(b.bench, PickMode::BondToggle);
    EXPECT_EQ(b.prompt(), "To select a bond to Add/Delete: Click on the first atom");
    b.click_atom(4);
    Reaction r = b.click_atom(4);
    EXPECT_TRUE(r.redraw);
    ASSERT_EQ(b.model->bonds.count(), bonds + 1);
    EXPECT_EQ(b.model->bonds[bonds + 1].atom1, 4);
    EXPECT_EQ(b.model->bonds[bonds + 1].atom2, 4);
    EXPECT_EQ(b.prompt(), "To select a bond to Delete or add: Click on the first atom (click with right button to end)");

    // Added in pick order 4-2, deleted picking 2-4; the bonds after it move up.
    b.click_atom(4);
    b.click_atom(2);
    ASSERT_EQ(b.model->bonds.count(), bonds + 2);
    EXPECT_EQ(b.model->bonds[bonds + 2].atom1, 4);
    EXPECT_NEAR(b.model->bonds[bonds + 2].length, std::sqrt(3.5 * 3.5 + 2 * 2), 1e-4);
    b.click_atom(2);
    b.click_atom(4);
    EXPECT_EQ(b.model->bonds.count(), bonds + 1);
    b.click_atom(4);
    b.click_atom(4);
    EXPECT_EQ(b.model->bonds.count(), bonds);

    // A full table: deleting still works, adding is refused with a message.
    while (!b.model->bonds.full()) b.model->bonds.push({1, 2, 0, 1.5});
    EXPECT_EQ(toggle_bond(*b.model, 3, 4, b.messages), BondToggle::Refused);
    EXPECT_EQ(b.model->bonds.count(), MaxBonds);
    ASSERT_EQ(b.messages.shown.size(), 1u);
    EXPECT_EQ(toggle_bond(*b.model, 2, 1, b.messages), BondToggle::Deleted);
}

TEST(InteractionRightClick, EveryModeReturnsToIdleWithLabelsAndListsAgreeing)
{
    const PickMode modes[] = {PickMode::Direction,      PickMode::BasePlane,     PickMode::Distance,
                              PickMode::BondToggle,     PickMode::Angle,         PickMode::Coordination,
                              PickMode::Mask,           PickMode::Centre,        PickMode::ZoomRectangle,
                              PickMode::TranslationRectangle, PickMode::MaskRectangle, PickMode::LabelArea,
                              PickMode::LabelOffCentre, PickMode::LabelInCentre, PickMode::DeleteLabel};
    for (PickMode mode : modes) {
        SCOPED_TRACE(static_cast<int>(mode));
        Bench b;
        b.model->drawing.labels_off_centre = 1;
        b.model->generated[2].label_dx = 0.7;
        b.model->generated[2].label_dy = -0.4;
        start_mode(b.bench, mode);
        b.click_atom(3); // one pick, where the mode picks
        b.right_click();
        const InteractionState& s = *b.state;
        EXPECT_EQ(s.mode, PickMode::None);
        EXPECT_EQ(s.mouse_mode, MouseMode::RotationXY);
        EXPECT_EQ(s.pick_a.count + s.pick_b.count, 0);
        EXPECT_FALSE(checked_label_tool(s));
        EXPECT_FALSE(s.parts.prompt_visible || s.parts.label_entry || s.parts.label_instructions ||
                     s.label_placing_pending || s.backup.taken);
        EXPECT_EQ(b.model->drawing.labels_off_centre, 1);
        EXPECT_EQ(b.model->drawing.labels_centre, 0);
        EXPECT_EQ(b.model->generated[2].label_dx, 0.7);
    }
}

TEST(InteractionLabelBackup, RestoredOnExitWithTheMaskingKept)
{
    Bench b;
    AtomRecord& moved = b.model->generated[1];
    moved.label_dx = 0.5;
    moved.label_dy = 0.25;
    b.model->generated[4].labelled = 0;
    start_mode(b.bench, PickMode::Mask);
    EXPECT_EQ(moved.label_dx, 0);
    EXPECT_EQ(b.model->generated[4].labelled, 1);
    EXPECT_EQ(b.model->drawing.labels_centre, 1);
    b.click_atom(3);
    EXPECT_EQ(b.model->generated[3].shown, 0);
    b.right_click();
    EXPECT_EQ(moved.label_dx, 0.5);
    EXPECT_EQ(moved.label_dy, 0.25);
    EXPECT_EQ(b.model->generated[4].labelled, 0);
    EXPECT_EQ(b.model->generated[3].shown, 0);
    EXPECT_EQ(b.model->generated[3].labelled, 0);
    EXPECT_EQ(b.model->drawing.labels_centre, 0);

    // A mode started during another gets the first backup back, not the
    // centred labels of the first mode.
    start_mode(b.bench, PickMode::Distance);
    start_mode(b.bench, PickMode::Angle);
    b.right_click();
    EXPECT_EQ(moved.label_dx, 0.5);
}

TEST(InteractionOrientation, TwoAtomsBringTheSecondNearerAndThreeLieInTheScreen)
{
    Bench b;
    start_mode(b.bench, PickMode::Direction);
    EXPECT_EQ(b.messages.beeps, 1);
    b.click_atom(4);
    EXPECT_EQ(b.prompt(), "Click on the second atom. (Right button to end)");
    const Reaction r = b.click_atom(1);
    EXPECT_TRUE(r.redraw);
    EXPECT_EQ(b.state->mode, PickMode::None);
    const ViewPoints& v = b.drawing->view;
    EXPECT_GT(v.Z[1], v.Z[4]);
    EXPECT_NEAR(v.X[1], v.X[4], 1e-9);
    EXPECT_NEAR(v.Y[1], v.Y[4], 1e-9);

    start_mode(b.bench, PickMode::BasePlane);
    b.click_atom(2);
    b.click_atom(3);
    b.click_atom(4);
    EXPECT_EQ(b.state->mode, PickMode::None);
    EXPECT_EQ(b.state->mouse_mode, MouseMode::None);
    // Within the program's degree factor (1/57.2957, not pi/180).
    EXPECT_NEAR(v.Z[2], v.Z[3], 1e-4);
    EXPECT_NEAR(v.Z[2], v.Z[4], 1e-4);
}

TEST(InteractionOrientationDialog, WorkedExampleAndRefusals)
{
    using namespace kestro::limat;
    // Monoclinic cell: a = 10, b = 12, c = 8, beta = 110.
    auto model = drawing_model({{"C 1", {0.1, 0.2, 0.3}, uiso(0.02)}, {"C 2", {0.3, 0.2, 0.1}, uiso(0.02)}}, 10, 12,
                               8, 110);
    auto drawing = prepared(*model);
    RecordingMessages messages;
    OrientationFields f = default_orientation_fields();
    EXPECT_EQ(calcul_mat(*model, *drawing, f, messages), OrientationOutcome::NothingGiven);

    // X = [1 0 0] Direct, Z = (0 0 1) Recipr.: a to the right, looking down c*.
    f.texts[0] = {"1", "0", "0"};
    f.texts[2] = {"0", "0", "1"};
    ASSERT_EQ(calcul_mat(*model, *drawing, f, messages), OrientationOutcome::Applied);
    const Mat3& T = model->cell.metric.T;
    // Within the program's degree factor (1/57.2957, not pi/180).
    EXPECT_NEAR(T[0][0], 10, 1e-4); // a along view X, full length
    EXPECT_NEAR(T[1][0], 0, 1e-4);
    EXPECT_NEAR(T[2][0], 0, 1e-4);
    EXPECT_NEAR(T[2][1], 0, 1e-4); // b lies in the screen: c* is along view Z
    EXPECT_NEAR(T[0][1], 0, 1e-4);

    // b* is perpendicular to a: accepted as Y.
    f = default_orientation_fields();
    f.texts[0] = {"1", "0", "0"};
    f.texts[1] = {"0", "1", "0"};
    EXPECT_EQ(calcul_mat(*model, *drawing, f, messages), OrientationOutcome::Applied);
    EXPECT_TRUE(messages.shown.empty());

    // Direct [1 0 0] and [1 1 0] are not perpendicular: refused, view kept.
    const Mat3 before = model->cell.metric.T;
    f.space[1] = AxisSpace::Direct;
    f.texts[1] = {"1", "1", "0"};
    EXPECT_EQ(calcul_mat(*model, *drawing, f, messages), OrientationOutcome::Refused);
    EXPECT_EQ(messages.shown.back(), "Error! The vectors are not perpendicular");
    EXPECT_EQ(model->cell.metric.T, before);

    // A comma is not a decimal point: "Type error", the field emptied, read as 0.
    f = default_orientation_fields();
    f.texts[2] = {"1,5", "0", "1"};
    std::array<Vec3, 3> axes = verifie(f, messages);
    EXPECT_EQ(messages.shown.back(), "Type error");
    EXPECT_EQ(f.texts[2][0], "");
    EXPECT_EQ(axes[2], (Vec3{0, 0, 1}));
}

TEST(InteractionRectangles, MaskRectangleBordersLeftwardDragsAndCancel)
{
    Bench b;
    // Toward the left or the top: nothing, even answered Yes.
    start_mode(b.bench, PickMode::MaskRectangle);
    EXPECT_EQ(b.state->mouse_mode, MouseMode::None);
    const PixelPoint c1 = b.at(1), c2 = b.at(2), o1 = b.at(3);
    Reaction r = b.drag({c2.x + 20, c1.y + 20}, {c1.x - 20, o1.y - 20});
    EXPECT_EQ(b.messages.asked.back(), "Do you want to delete the windows contents?");
    EXPECT_TRUE(r.band_changed);
    for (const AtomRecord& atom : b.model->generated) EXPECT_EQ(atom.shown, 1);
    EXPECT_EQ(b.state->mode, PickMode::None);
    EXPECT_EQ(b.state->mouse_mode, MouseMode::RotationXY);

    // Cancel: every atom stays shown.
    start_mode(b.bench, PickMode::MaskRectangle);
    b.messages.answers = {Answer::Cancel};
    b.drag({c1.x, o1.y}, {c2.x, c1.y});
    for (const AtomRecord& atom : b.model->generated) EXPECT_EQ(atom.shown, 1);

    // Yes, corners exactly on C1 (left, bottom) and C2 (right) and O1 (top): borders count.
    b.model->drawing.draw_planes = 1;
    start_mode(b.bench, PickMode::MaskRectangle);
    b.drag({c1.x, o1.y}, {c2.x, c1.y});
    EXPECT_EQ(b.model->generated[1].shown, 0);
    EXPECT_EQ(b.model->generated[2].shown, 0);
    EXPECT_EQ(b.model->generated[3].shown, 0);
    EXPECT_EQ(b.model->generated[3].labelled, 0);
    EXPECT_EQ(b.model->generated[4].shown, 1);
    EXPECT_EQ(b.model->drawing.draw_planes, 0);

    // The label area clears labels only.
    start_mode(b.bench, PickMode::LabelArea);
    b.drag({0, 0}, {685, 685});
    EXPECT_EQ(b.messages.asked.back(), "Do you want to delete the labels in the windows?");
    EXPECT_EQ(b.model->generated[4].labelled, 0);
    EXPECT_EQ(b.model->generated[4].shown, 1);
}

TEST(InteractionRectangles, NewViewPointsEndTheMaskAndLabelRectangles)
{
    Bench b;
    for (PickMode mode : {PickMode::MaskRectangle, PickMode::LabelArea}) {
        start_mode(b.bench, mode);
        EXPECT_FALSE(end_outdated_rectangle_mode(b.bench)); // the picture is the one the mode began on
        compute_view_points(*b.model, *b.drawing);
        EXPECT_TRUE(end_outdated_rectangle_mode(b.bench));
        EXPECT_EQ(b.state->mode, PickMode::None);
        EXPECT_EQ(b.state->mouse_mode, MouseMode::RotationXY);
        EXPECT_FALSE(b.state->parts.prompt_visible);
    }
    // The zoom rectangle works on whatever picture is there.
    start_mode(b.bench, PickMode::ZoomRectangle);
    compute_view_points(*b.model, *b.drawing);
    EXPECT_FALSE(end_outdated_rectangle_mode(b.bench));
    EXPECT_EQ(b.state->mode, PickMode::ZoomRectangle);
}

TEST(InteractionTranslation, StrictlyInsideAfterAValidVector)
{
    Bench b;
    start_mode(b.bench, PickMode::TranslationRectangle);
    const PixelPoint c1 = b.at(1), c2 = b.at(2);
    // From C1 to beyond C2, drawn right to left: C1 on the border stays.
    Reaction r = b.drag({c2.x + 10, c1.y + 10}, {c1.x, c1.y - 10});
    EXPECT_EQ(r.action, WindowAction::ShowTranslationPanel);
    EXPECT_TRUE(b.state->parts.translation_panel);
    // The zoom waits while the vector is asked.
    start_mode(b.bench, PickMode::ZoomRectangle);
    EXPECT_EQ(b.state->mode, PickMode::TranslationRectangle);

    r = ok_translation(b.bench, {"1", "x", ""});
    EXPECT_EQ(b.messages.shown.back(), "'x' is not a valid integer value");
    EXPECT_TRUE(b.state->parts.translation_panel);
    EXPECT_EQ(b.model->generated[2].xyz[0], 0.65);

    r = ok_translation(b.bench, {"1", " ", "-2"});
    EXPECT_TRUE(r.redraw);
    EXPECT_FALSE(b.state->parts.translation_panel);
    EXPECT_EQ(b.model->generated[2].xyz, (Vec3{1.65, 0.5, -1.5}));
    EXPECT_EQ(b.model->generated[1].xyz, (Vec3{0.5, 0.5, 0.5}));
    EXPECT_EQ(b.model->generated[3].xyz, (Vec3{0.5, 0.65, 0.5}));
    EXPECT_EQ(b.state->mode, PickMode::None);
}

TEST(InteractionLabels, PlacingAnchorsAtThePressPointAndTheToolsWait)
{
    Bench b;
    decale_label(b.bench, true);
    EXPECT_TRUE(b.state->parts.labelling_tools);
    Reaction r = click_on_checklistbox(b.bench, LabelTool::WriteOffCentre);
    EXPECT_TRUE(b.state->parts.label_instructions);
    r = b.click_atom(2);
    EXPECT_EQ(r.action, WindowAction::EditLabel);
    EXPECT_EQ(r.label_text, "C2");
    EXPECT_EQ(r.mark->radius, 6);
    // Pressed at one point, released two pixels away: the press point counts.
    const PixelPoint press{b.at(2).x + 40, b.at(2).y - 30};
    flag_on(b.bench, MouseButton::Left, press);
    mouse_up(b.bench, MouseButton::Left, {press.x + 2, press.y + 2}, "Carbon-2x");
    const AtomRecord& atom = b.model->generated[2];
    EXPECT_EQ(to_pixel(b.drawing->screen, b.drawing->view.X[2] - atom.label_dx, b.drawing->view.Y[2] - atom.label_dy),
              press);
    EXPECT_EQ(b.model->display_labels[2], "Carbon-2");
    EXPECT_FALSE(b.state->parts.label_entry);

    // Another tool waits for the right button.
    click_on_checklistbox(b.bench, LabelTool::DeleteAll);
    EXPECT_EQ(b.messages.shown.back(), "Stop first the current process (click the right button)");
    EXPECT_EQ(atom.labelled, 1);
    b.right_click();
    click_on_checklistbox(b.bench, LabelTool::DeleteMoved);
    EXPECT_EQ(atom.labelled, 0);
    EXPECT_EQ(b.model->generated[1].labelled, 1);
    click_on_checklistbox(b.bench, LabelTool::DeleteCentred);
    click_on_checklistbox(b.bench, LabelTool::RestoreMoved);
    EXPECT_EQ(atom.labelled, 1);
    EXPECT_EQ(b.model->generated[1].labelled, 0);
}

TEST(InteractionLabels, FontStyleTextRoundTrips)
{
    FontSpec font;
    font.italic = font.underline = true;
    EXPECT_EQ(label_style_text(font), "Italic, Underline");
    FontSpec drawn;
    drawn.bold = true;
    apply_label_style(label_style_text(font), drawn);
    EXPECT_TRUE(drawn.italic && drawn.underline && !drawn.bold);
    apply_label_style("Bold, Bold", drawn); // not a style text: kept
    EXPECT_TRUE(drawn.italic && !drawn.bold);
}

TEST(InteractionReset, ResetChildRestoresTheGeneratedAtoms)
{
    Bench b;
    start_mode(b.bench, PickMode::Mask);
    b.click_atom(1);
    b.model->generated[2].xyz = {3, 3, 3};
    b.model->bonds.clear();
    b.drawing->screen.f = 2.5;
    set_mode_rotation(b.bench, MouseMode::Translation);
    flag_on(b.bench, MouseButton::Left, {100, 100});
    mouse_move(b.bench, {150, 120});
    mouse_up(b.bench, MouseButton::Left, {150, 120});
    ASSERT_EQ(b.drawing->screen.x0, 343 + 50);
    const Reaction r = reset_child(b.bench);
    EXPECT_EQ(r.slider_position, 0);
    EXPECT_EQ(b.drawing->screen.f, 1.0);
    EXPECT_EQ(b.drawing->screen.x0, 343);
    EXPECT_EQ(b.model->generated[1].shown, 1);
    EXPECT_EQ(b.model->generated[2].xyz, b.model->initial_generated[2].xyz);
    EXPECT_GT(b.model->bonds.count(), 0);
    EXPECT_EQ(b.state->mode, PickMode::None);
}

TEST(InteractionMeanPlane, ClicksGoToThePlaneWindowAndTheModeStaysOnARightClick)
{
    Bench b;
    start_mode(b.bench, PickMode::MeanPlane);
    Reaction r = b.click_atom(3);
    EXPECT_EQ(r.action, WindowAction::PickPlaneAtom);
    EXPECT_EQ(r.atom, 3);
    EXPECT_EQ(b.messages.beeps, 1);
    r = b.right_click(b.at(2));
    EXPECT_EQ(r.action, WindowAction::UnpickPlaneAtom);
    EXPECT_EQ(r.atom, 2);
    EXPECT_EQ(b.state->mode, PickMode::MeanPlane);
    EXPECT_EQ(b.right_click({1, 1}).action, WindowAction::None);
}
