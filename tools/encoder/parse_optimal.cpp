#include <algorithm>
#include <limits>
#include <vector>

#include "tools/encoder/match_finder.hpp"
#include "tools/encoder/parsers.hpp"

namespace encoder {
namespace {

// The cheapest known way to reach one position of the block: its cost in bits and the
// step that arrives there (length 1 for a literal).
struct Step {
  std::uint32_t cost;
  std::uint16_t length;
  std::uint16_t distance;
};

constexpr std::uint32_t kUnreached = std::numeric_limits<std::uint32_t>::max();
// A position's cheapest arrival starts at most kMaxMatch bytes back, so that many models
// behind the current one are all the pricing ever needs.
constexpr std::size_t kModelSlots = kMaxMatch + 1;

// Each step is priced under the model that the cheapest path to its start leaves behind:
// the path finally chosen pays exactly the prices it was chosen by.
class OptimalParser {
 public:
  OptimalParser(const History& history, const OptimalSettings& settings, SymbolCoder& coder)
      : h_(history),
        settings_(settings),
        coder_(coder),
        finder_(h_.text, h_.size, settings.max_depth),
        steps_(std::min(settings.block, h_.size - h_.start) + 1),
        models_(kModelSlots) {}

  std::uint64_t run() {
    for (std::size_t p = 0; p < h_.start; ++p) finder_.skip(p);
    std::size_t pos = h_.start;
    while (pos < h_.size) pos = parse_block(pos);
    return priced_bits_;
  }

 private:
  // Prices every path from `pos` to the block's end, emits the cheapest, returns its end.
  std::size_t parse_block(std::size_t pos) {
    const std::size_t end = std::min(h_.size, pos + settings_.block);
    for (std::size_t i = 0; i <= end - pos; ++i) steps_[i] = {kUnreached, 0, 0};
    steps_[0].cost = 0;
    models_[0] = coder_.model();
    for (std::size_t i = pos; i < end; ++i) {
      if (i > pos) arrive(i - pos, pos);
      price_from(i, pos, end);
    }
    priced_bits_ += steps_[end - pos].cost;
    emit_path(pos, end);
    return end;
  }

  // Derives the model at block offset `at` from the one its cheapest arrival starts from.
  void arrive(std::size_t at, std::size_t pos) {
    const Step& step = steps_[at];
    const std::size_t from = at - step.length;
    decode::Model& model = models_[at % kModelSlots];
    model = models_[from % kModelSlots];
    const int symbol = step.length == 1 ? h_.text[pos + from] : kMatchSymbolBase + step.length;
    decode::model_update(model, symbol);
  }

  void price_from(std::size_t i, std::size_t pos, std::size_t end) {
    const decode::Model& model = models_[(i - pos) % kModelSlots];
    const std::uint32_t base = steps_[i - pos].cost;
    relax(i + 1 - pos, base + static_cast<std::uint32_t>(symbol_depth(model, h_.text[i])), 1, 0);
    const int n = finder_.find(i, found_);
    int length = kMinMatch;
    for (int k = 0; k < n; ++k) {
      const int position_cost = distance_bits(found_[k].distance);
      for (; length <= found_[k].length && i + length <= end; ++length) {
        const int bits = position_cost + symbol_depth(model, kMatchSymbolBase + length);
        relax(i + length - pos, base + static_cast<std::uint32_t>(bits), length,
              found_[k].distance);
      }
    }
  }

  void relax(std::size_t at, std::uint32_t cost, int length, int distance) {
    if (cost < steps_[at].cost) {
      steps_[at] = {cost, static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(distance)};
    }
  }

  void emit_path(std::size_t pos, std::size_t end) {
    path_.clear();
    for (std::size_t at = end - pos; at > 0; at -= steps_[at].length) path_.push_back(steps_[at]);
    std::size_t i = pos;
    for (auto it = path_.rbegin(); it != path_.rend(); ++it) {
      if (it->length == 1) {
        coder_.put_literal(h_.text[i]);
      } else {
        coder_.put_match(it->length, it->distance);
      }
      i += it->length;
    }
  }

  const History& h_;
  const OptimalSettings& settings_;
  SymbolCoder& coder_;
  MatchFinder finder_;
  std::vector<Step> steps_;
  std::vector<decode::Model> models_;
  std::vector<Step> path_;
  Match found_[kMaxMatch];
  std::uint64_t priced_bits_ = 0;
};

}  // namespace

std::uint64_t parse_optimal(const History& history, const OptimalSettings& settings,
                            SymbolCoder& coder) {
  return OptimalParser(history, settings, coder).run();
}

}  // namespace encoder
