// Labels, element symbols and number-text repairs.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "model/fields.h"
#include "model/labels.h"
#include "model/structure_model.h"

using namespace kestro;

TEST(Labels, TheElementComesFromTheLeadingLettersOrTheType)
{
    EXPECT_EQ(element_symbol("C 1"), "C");
    EXPECT_EQ(element_symbol("CL1"), "CL");
    EXPECT_EQ(element_symbol("HG2"), "HG");
    EXPECT_EQ(element_symbol("H12A"), "H");
    EXPECT_EQ(element_symbol("OW1"), "O");
    EXPECT_EQ(element_symbol("C121"), "C");
    EXPECT_EQ(type_element("Cl"), "CL");
    EXPECT_EQ(type_element("O2-"), "O");
    EXPECT_EQ(type_element("Fe3+"), "FE");
    EXPECT_EQ(type_element("Uani"), "");
    EXPECT_EQ(display_label("CL12"), "Cl12");
    EXPECT_EQ(display_label("H 1"), "H1");
    EXPECT_EQ(display_label("C 1 "), "C1");
    EXPECT_EQ(display_label("H12A"), "H12A");
    EXPECT_EQ(display_symbol("C L"), "Cl");
    EXPECT_EQ(display_symbol("O"), "O");
    AtomRecord carbon;
    carbon.label = "CA1";
    EXPECT_EQ(element_of(carbon), "CA");
    EXPECT_EQ(display_label_of(carbon), "Ca1");
    carbon.element = "C"; // a protein's alpha carbon, typed C
    EXPECT_EQ(element_of(carbon), "C");
    EXPECT_EQ(display_label_of(carbon), "CA1");
    // is_hydrogen is element_of == "H".
    for (const char* label : {"H1", "h12a", " H", "H", "HE1", "He", "Hg2", "HO", "Hs", "HX1", "H(1)", "D1", "", "Hf"})
        for (const char* element : {"", "H", " h ", "HE", "  "}) {
            AtomRecord atom;
            atom.label = label;
            atom.element = element;
            EXPECT_EQ(is_hydrogen(atom), element_of(atom) == "H") << label << "/" << element;
        }
}

TEST(Labels, SpacingPutsTheElementInTheFirstTwoCharacters)
{
    EXPECT_EQ(space_label("O12"), "O 12");
    EXPECT_EQ(space_label("O123"), "O123"); // a blank would need a fifth character
    EXPECT_EQ(element_symbol(space_label("O12")), "O");
    EXPECT_EQ(space_label("Cl3"), "Cl3");
    EXPECT_EQ(element_symbol(space_label("Cl3")), "CL");
    EXPECT_EQ(space_label("H"), "H");
    EXPECT_EQ(symbol_key(" fe "), "FE");
}

TEST(Labels, NumberRepairs)
{
    EXPECT_EQ(repair_number_b(""), "0");
    EXPECT_EQ(repair_number_b(" .5"), "0.5");
    EXPECT_EQ(repair_number_b("3. 5"), "3.05");
    EXPECT_EQ(repair_number_b("-.25"), "-0.25");
    EXPECT_EQ(repair_number_b("7."), "7.0");
    // Only the first occurrence of each pattern is repaired.
    EXPECT_EQ(repair_number_b("-.1 -.2"), "-0.1 -.2");
}

TEST(Fields, PascalStyleWidths)
{
    EXPECT_EQ(fmt_real(1.0, 4, 0), "   1");
    EXPECT_EQ(fmt_real(-1.0, 4, 0), "  -1");
    EXPECT_EQ(fmt_real(0.5, 10, 6), "  0.500000");
    EXPECT_EQ(fmt_real(-0.0, 10, 6), "  0.000000");
    EXPECT_EQ(fmt_real(-0.0000001, 8, 3), "   0.000");
    EXPECT_EQ(fmt_real(123456.5, 6, 2), "123456.50"); // the field grows
    EXPECT_EQ(fmt_int(1000, 4), "1000");
    EXPECT_EQ(fmt_int(7, 4), "   7");
    EXPECT_EQ(fill_to("C 1", 4), "C 1 ");
    EXPECT_EQ(fill_to("LONGER", 4), "LONGER");
    EXPECT_EQ(right_align("C", 2), " C");
}

TEST(Fields, DecimalPointWhateverTheLocale)
{
    // The windows' toolkit sets the user's locale, which may write a decimal comma.
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    const std::string half = fmt_real(0.5, 10, 6), tie = fmt_real(0.125, 0, 2), wide = fmt_real(1e70, 0, 1);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(half, "  0.500000");
    EXPECT_EQ(tie, "0.12"); // an exact tie rounds to even, as printf did
    EXPECT_EQ(wide.size(), 73u); // every digit, none cut off
}
