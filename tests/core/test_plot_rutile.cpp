// A whole plot of a real structure, checked by hand: rutile TiO2
// (P42/mnm, a = 4.5937, c = 2.9587, O at x = 0.30478) from the bundled file.
#include <gtest/gtest.h>

#include <cmath>

#include "crystal/generation.h"
#include "crystal/operators.h"
#include "formats/kes.h"
#include "forms/mainmenu.h"
#include "model/labels.h"
#include "recording_messages.h"

using namespace kestro;
using namespace kestro::mainmenu;

TEST(PlotRutile, CellContentsAndTiOBondLengths)
{
    auto model = std::make_unique<StructureModel>();
    RecordingMessages messages;
    ASSERT_TRUE(load_ascii_structure(*model, KESTRO_TEST_DATA_DIR "/../../examples/rutile.kes", messages));
    model->data_directory = KESTRO_SOURCE_DATA_DIR;
    OperatorGrid grid;
    fill_operator_grid(*model, grid);
    on_click_checklistbox(*model, grid, messages, 4, true); // "Cell contents"
    ASSERT_TRUE(generer(*model, messages));
    EXPECT_TRUE(messages.shown.empty());

    // Ti at the 8 corners and the centre; O: 4 inside, 2 on the faces z = 0 and 1.
    int ti = 0, o = 0;
    for (const AtomRecord& atom : model->generated) (element_symbol(atom.label.view()) == "TI" ? ti : o)++;
    EXPECT_EQ(ti, 9);
    EXPECT_EQ(o, 6);

    // Ti-O: x a sqrt(2) = 1.9800 (apical) and
    // sqrt(2 (0.19522 a)^2 + (c/2)^2) = 1.9486 (equatorial). The limits are
    // Ti-O 2.71, O-O 1.58 (shortest O-O 2.53: none), Ti-Ti 3.84.
    int centre = 0;
    for (int i = 1; i <= model->generated.count(); ++i)
        if (std::abs(model->generated[i].xyz[0] - 0.5) < 1e-9 && std::abs(model->generated[i].xyz[2] - 0.5) < 1e-9)
            centre = i;
    ASSERT_NE(centre, 0);
    int centre_bonds = 0;
    for (const BondRecord& bond : model->bonds) {
        const std::string a = element_symbol(model->generated[bond.atom1].label.view());
        const std::string b = element_symbol(model->generated[bond.atom2].label.view());
        ASSERT_LT(bond.atom1, bond.atom2);
        EXPECT_FALSE(a == "O" && b == "O");
        if (a == "TI" && b == "TI") {
            // along c, and corner to centre: sqrt(2 (a/2)^2 + (c/2)^2) = 3.5692
            EXPECT_TRUE(std::abs(bond.length - 2.9587) < 1e-4 || std::abs(bond.length - 3.5692) < 1e-4) << bond.length;
        } else {
            EXPECT_TRUE(std::abs(bond.length - 1.9800) < 1e-4 || std::abs(bond.length - 1.9486) < 1e-4) << bond.length;
            if (bond.atom1 == centre || bond.atom2 == centre) ++centre_bonds;
        }
        EXPECT_EQ(bond.order, 0);
    }
    EXPECT_EQ(centre_bonds, 6); // the octahedron
}
