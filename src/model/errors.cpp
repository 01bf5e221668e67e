#include "model/errors.h"

namespace kestro {

void index_out_of_table(int index, int capacity)
{
    throw ProgramError("Program error: record " + std::to_string(index) + " of a table of " +
                       std::to_string(capacity) + " was asked for; the command was stopped");
}

} // namespace kestro
