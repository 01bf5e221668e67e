// How much memory the readers take beside the text of a large file: every
// allocation of this program goes through the counting operator new below.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "formats/cif.h"
#include "formats/shelx.h"
#include "model/structure_model.h"
#include "recording_messages.h"

namespace {

std::atomic<std::size_t> in_use{0};
std::atomic<std::size_t> peak{0};
std::atomic<std::size_t> allocated{0}; // all bytes ever asked for

// Each block carries its size in front, so that delete can count it back.
constexpr std::size_t Header = alignof(std::max_align_t);

void* counted_new(std::size_t size)
{
    void* block = std::malloc(size + Header);
    if (block == nullptr) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    allocated += size;
    const std::size_t now = in_use += size;
    for (std::size_t seen = peak; now > seen && !peak.compare_exchange_weak(seen, now);) {
    }
    return static_cast<char*>(block) + Header;
}

void counted_delete(void* pointer) noexcept
{
    if (pointer == nullptr) return;
    void* block = static_cast<char*>(pointer) - Header;
    in_use -= *static_cast<std::size_t*>(block);
    std::free(block);
}

} // namespace

void* operator new(std::size_t size) { return counted_new(size); }
void* operator new[](std::size_t size) { return counted_new(size); }
void operator delete(void* pointer) noexcept { counted_delete(pointer); }
void operator delete[](void* pointer) noexcept { counted_delete(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { counted_delete(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { counted_delete(pointer); }

TEST(ReaderMemory, ACifOfManyRowsTakesAFewTimesItsSize)
{
    std::string text = "data_x\n_cell_length_a 10\n_cell_length_b 11\n_cell_length_c 12\n_cell_angle_alpha 90\n"
                       "_cell_angle_beta 100\n_cell_angle_gamma 90\n_symmetry_space_group_name_H-M 'P 1'\n"
                       "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
                       "_atom_site_U_iso_or_equiv\n";
    for (int i = 0; i < 200000; ++i) text += "C" + std::to_string(i % 1000) + " 0.1234(5) 0.2 0.3 0.02\n";
    text += "loop_\n_atom_site_aniso_label\n_atom_site_aniso_U_11\n_atom_site_aniso_U_22\n_atom_site_aniso_U_33\n";
    for (int i = 0; i < 100000; ++i) text += "C" + std::to_string(i % 1000) + " 0.01 0.02 0.03\n";

    auto model = std::make_unique<kestro::StructureModel>();
    model->data_directory = KESTRO_SOURCE_DATA_DIR;
    RecordingMessages messages;
    std::string summary;
    const std::size_t before = in_use;
    peak = before;
    const bool loaded = kestro::read_cif(text, "big.cif", *model, messages, summary);
    const std::size_t used = peak - before;

    EXPECT_TRUE(loaded);
    EXPECT_EQ(model->asym.count(), kestro::MaxAsymAtoms);
    EXPECT_DOUBLE_EQ(model->asym[1].thermal[2], 0.03);
    EXPECT_LE(used, 4 * text.size()) << used << " bytes for a text of " << text.size();
}

TEST(ReaderMemory, ContinuedShelxLinesAreJoinedWithoutCopyingTheLine)
{
    // One instruction continued over 20 000 lines: copying the joined line
    // at each continuation allocates the square of its length.
    std::string text = "TITL chain\nCELL 0.71073 10 11 12 90 90 90\nZERR 4 0 0 0 0 0 0\nLATT -1\nSFAC C\nUNIT 4\n"
                       "FVAR 1.0\nC1 1 0.1 0.2 0.3 11.0 0.02\nC2 1 0.2 0.2 0.3 11.0 0.02\n";
    for (int i = 0; i < 20000; ++i) text += "DFIX 1.54 C1 C2 =\n";
    text += "C1 C2\nHKLF 4\nEND\n";

    auto model = std::make_unique<kestro::StructureModel>();
    model->data_directory = KESTRO_SOURCE_DATA_DIR;
    RecordingMessages messages;
    const std::size_t before = allocated;
    const bool loaded = kestro::read_shelx_instructions(text, "chain.ins", *model, messages);
    const std::size_t used = allocated - before;

    EXPECT_TRUE(loaded) << (messages.shown.empty() ? "" : messages.shown[0]);
    EXPECT_EQ(model->asym.count(), 2);
    EXPECT_LE(used, 40 * text.size()) << used << " bytes allocated for a text of " << text.size();
}
