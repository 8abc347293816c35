// Decoding one symbol of the adaptive code and counting it in the tree, fast.
//
// The top levels of the tree are looked up in a table instead of walked bit by bit. A table
// entry is kept until a node whose child entry it relies on is exchanged, or the tree is
// rebuilt. The walk down notes whether any node on the path will outgrow its right
// neighbour: when none does (about half the symbols) the path is counted in one sweep
// without a branch per node; otherwise it is counted bottom-up with its exchanges.
#pragma once

#include "decode/bit_reader.hpp"

namespace decode {

// A fresh tree for a new entry, in the tree and in the lookup table.
void symbol_decoder_start();

// Back to the state of a freshly started process.
void symbol_decoder_reset_process_state();

// Decodes the next symbol with the tree as it is, then counts it; returns the symbol.
int decode_and_count_symbol(BitReader& bits);

}  // namespace decode
