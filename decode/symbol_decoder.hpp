// Decoding one symbol of the adaptive code and counting it in the model, fast.
//
// The top levels of the tree are looked up in a table instead of walked bit by bit. A table
// entry is kept until a node whose child entry it relies on is exchanged, or the tree is
// rebuilt. The update follows the path the decode walked down, so it need not wait on the
// parent table until the first exchange.
#pragma once

#include "decode/bit_reader.hpp"
#include "decode/model.hpp"

namespace decode {

// A fresh tree for a new entry, in the model and in the lookup table.
void symbol_decoder_start(Model& model);

// Back to the state of a freshly started process.
void symbol_decoder_reset_process_state();

// Decodes the next symbol with the tree as it is, then counts it; returns the symbol.
int decode_and_count_symbol(Model& model, BitReader& bits);

}  // namespace decode
