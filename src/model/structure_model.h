#pragma once
// The one in-memory crystal structure: cell, space group, operators,
// asymmetric unit, generated atoms, element and bond sorts, bonds, and the
// generation and drawing options. Every table has a fixed capacity.
//
// The option and state flags are integers, as the structure file stores
// them. A flag is on when it is not 0 (whatever a file gave) and is tested
// as a truth value; the program itself sets 1 and 0.

#include <array>
#include <cstdint>
#include <string>

#include "model/colours.h"
#include "model/fixed_text.h"
#include "model/math3.h"
#include "model/table.h"

namespace kestro {

constexpr int MaxOperators = 192;
constexpr int MaxAsymAtoms = 10000;
constexpr int MaxGeneratedAtoms = 100000;
constexpr int MaxElementSorts = 93;
constexpr int MaxBondSorts = 1000;
constexpr int MaxBonds = 500000;
// n element sorts need n(n+1)/2 bond sorts: 44 sorts give 990 rows.
constexpr int MaxSortsForBondTable = 44;

// Everything derived from the six cell values and the orientation of the
// view (International Tables Vol. B, ch. 1.1 for G, G* and B).
struct CellMetric {
    double cos_alpha = 0, cos_beta = 0, cos_gamma = 0;
    double sin_alpha = 0, sin_beta = 0, sin_gamma = 0;
    double volume = 0;
    double cos_alpha_star = 0, cos_beta_star = 0, cos_gamma_star = 0;
    double sin_beta_star = 0, sin_gamma_star = 0;
    Mat3 G = zero3();      // direct metric tensor
    Mat3 G_star = zero3(); // reciprocal metric tensor
    Mat3 B = zero3();      // Cartesian = B h for reciprocal vectors
    Mat3 B_inv = zero3();
    Mat3 BG = zero3();  // fractional -> Cartesian (crystal frame)
    Mat3 GBi = zero3(); // Cartesian (crystal frame) -> fractional
    // View frame: rows of D are the direct components of the view axes
    // X (right), Y (up), Z (towards the viewer); O = D^-1.
    Mat3 D = zero3();
    Mat3 O = zero3();
    Mat3 R = identity3(); // crystal Cartesian -> view Cartesian
    Mat3 R_inv = identity3();
    Mat3 T = zero3();     // fractional -> view Cartesian
    Mat3 T_inv = zero3(); // view Cartesian -> fractional
};

struct CrystalCell {
    double a = 0, b = 0, c = 0;             // Angstrom
    double alpha = 0, beta = 0, gamma = 0;  // degrees
    double a_star = 0, b_star = 0, c_star = 0;            // 1/Angstrom
    double alpha_star = 0, beta_star = 0, gamma_star = 0; // degrees
    CellMetric metric;
    // Standard uncertainties of a, b, c, alpha, beta, gamma as the file
    // gives them; 0 where it gives none.
    std::array<double, 6> su{};

    // A cell with any of its six values 0 counts as missing.
    bool missing() const { return a * b * c * alpha * beta * gamma == 0; }
};

// x' = R x + t: each row holds the coefficients of x, y, z and the translation.
struct SymmetryOperator {
    std::array<std::array<double, 4>, 3> rows{};

    static SymmetryOperator identity()
    {
        SymmetryOperator op;
        op.rows = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};
        return op;
    }
};

// A displacement tensor: Uij (Angstrom squared) in the asymmetric unit,
// betaij (dimensionless) in the generated atoms. model/thermal holds the
// conversions.
using Thermal6 = SymMat3;

using AtomLabel = FixedText<8>;

// One layout serves the asymmetric unit and the generated atoms.
struct AtomRecord {
    AtomLabel label;         // upper case, as the file gives it; 'C 1' for a short one
    FixedText<2> element;    // the file's type symbol, upper case; empty: the label's
    Vec3 xyz{};              // fractional coordinates
    Vec3 xyz_su{};           // their standard uncertainties as the file gives them; 0 for none
    FixedText<12> file_label; // the label exactly as a CIF writes it ('Fe(1)'), for its geometry loops
    double label_dx = 0;     // label offset in the drawing plane, Angstrom
    double label_dy = 0;
    Thermal6 thermal{};      // Uij (asymmetric unit) or betaij (generated)
    int element_sort = 0;    // 1-based index into the element sorts
    Colour colour = 0;
    int operator_index = 0;  // producing operator, or fragment number; 0 marks a dropped duplicate
    int isotropic = 0;
    int shown = 0;
    int labelled = 0;
    // Disorder: the part (SHELX PART, CIF disorder group; 0 for the ordered
    // atoms), the assembly the part belongs to, and the site occupancy.
    int part = 0;
    FixedText<2> assembly;
    double occupancy = 1.0;

    // Asymmetric-unit records are isotropic when U22 is exactly 0.
    bool isotropic_uij() const { return thermal[1] == 0.0; }
};

struct ElementSort {
    Colour colour = 0;
    double radius = 0; // covalent radius, Angstrom; 0 when not listed
    FixedText<2> symbol;
};

struct BondSort {
    FixedText<2> element1;
    FixedText<2> element2;
    double max_length = 0; // Angstrom
};

struct BondRecord {
    int atom1 = 0; // 1-based, atom1 < atom2
    int atom2 = 0;
    int order = 0; // C-C only: 1 for 1.271 < d < 1.439, 2 for d < 1.271
    double length = 0;
};

struct GenerationOptions {
    int box = 0;
    int sphere = 0;
    int fragments = 0;
    int cell_contents = 0;
    Vec3 box_size{1.01, 1.01, 1.01}; // fractions of a, b, c
    Vec3 centre{0.5, 0.5, 0.5};      // fractional, shared by box and sphere
    double sphere_radius = 6.0;      // Angstrom
    int sphere_reduce = 0;           // bring coordinates into 0..1 first
    int box_reduce = 0;
};

struct LabelFont {
    std::string name = "Times New Roman";
    std::string style = "Bold, Italic";
    int size = 12;
    Colour colour = 0;
    int charset = 1;
};

// The disorder parts a picture shows besides part 0.
enum class PartsShown { All, Major, One };

struct DrawingOptions {
    int probability_index = 5; // 0..10 into the probability table
    LabelFont label_font;
    Colour background_colour = colour::White;
    Colour bond_colour = colour::Yellow;
    Colour saved_background_colour = colour::White;
    Colour saved_bond_colour = colour::Yellow;
    double bond_width = 0.06;
    double bond_perspective = 6.0;
    // Option flags stored in the structure file.
    int spare = 0;
    int colour_gradation = 0;
    int draw_cell = 0;
    int draw_planes = 0;
    int draw_planes_axes = 0;
    int labels_centre = 0;
    int labels_off_centre = 0;
    int black_white = 0;
    // Window options kept with the model, not stored in the structure file.
    int thermal_iso = 0;   // "Thermal parameters": 0 Aniso, 1 Iso
    int double_triple = 0; // "Draw Double/triple bond": 0 No, 1 Yes
    PartsShown parts_shown = PartsShown::All;
    int part_number = 0;   // the part of PartsShown::One
    int dash_minor = 0;    // bonds of the parts other than the major one dashed
    double hydrogen_radius = 0; // A: hydrogen atoms drawn as spheres of it; 0: as their ellipsoids
};

struct EditFlags {
    int data_changed = 0;
    int cell_changed = 0;
    int atoms_changed = 0;
};

struct StructureModel {
    CrystalCell cell;
    std::string system_code;    // "CUBI" ... "TRIC", empty when none
    std::string lattice_letter; // one character or empty
    std::string space_group;    // symbol, empty when none
    int centro_flag = 0; // > 0 centrosymmetric; 0, or -1 from a negative SHELX LATT: not
    int listed_operator_count = 0;
    double wavelength = 0;
    std::string title;
    std::string source_file_name; // last foreign file loaded
    std::string source_base_name; // its name without directory and extension
    std::string ascii_file_name;  // last .kes loaded
    std::string current_file;     // target of the writers
    std::string program_directory; // current directory at start-up: reports go there
    std::string data_directory;    // where the reference files are read
    std::string pending_file_name; // from the command line, until a reader takes it

    Table<SymmetryOperator, MaxOperators> operators; // full list
    Slots<int, MaxOperators> selected;               // 1 when the row carries "*"
    Table<SymmetryOperator, MaxOperators> selected_operators;
    Slots<FixedText<24>, MaxOperators> operator_texts;
    int centring_count = 0;

    Table<AtomRecord, MaxAsymAtoms> asym;
    Slots<AtomRecord, MaxAsymAtoms> saved_asym;
    Table<AtomRecord, MaxGeneratedAtoms> generated;
    Slots<AtomRecord, MaxGeneratedAtoms> initial_generated;
    Slots<FixedText<8>, MaxGeneratedAtoms> display_labels;

    Table<ElementSort, MaxElementSorts> element_sorts;
    Slots<Colour, MaxElementSorts> element_colours; // second (saved) colour per sort, same index
    Table<BondSort, MaxBondSorts> bond_sorts;
    Table<BondRecord, MaxBonds> bonds;

    GenerationOptions generation;
    DrawingOptions drawing;
    EditFlags edit;
};

// The element symbol of an atom, upper case: its type where the file gave
// one, else the one its label names.
std::string element_of(const AtomRecord& atom);
bool is_hydrogen(const AtomRecord& atom);
// The display form of its label ('Cl12', 'H12A').
std::string display_label_of(const AtomRecord& atom);

// Counts, names, option flags, generation and drawing defaults back to their
// start values. The asymmetric unit and the full operator list are kept: the
// keyboard-data command and the readers replace them themselves.
void reset_model(StructureModel& model);

} // namespace kestro
