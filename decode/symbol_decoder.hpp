// Decoding one symbol of the adaptive code and counting it in the tree, with every check
// the stream's edges call for. The decoder's bulk loop does the same inline while the
// block in hand and the chunk being filled leave room (symbol_tree.hpp).
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
