// Answering the installer's message boxes: button names, positions, scripts and prompts.
#include <gtest/gtest.h>

#include <sstream>

#include "install/answers.hpp"
#include "install/boxes.hpp"
#include "platform/platform.hpp"

namespace {

using platform::kIdCancel;
using platform::kIdNo;
using platform::kIdOk;
using platform::kIdYes;

constexpr unsigned kOkCancel = platform::kMbOkCancel | platform::kMbIconInformation;
constexpr unsigned kYesNo = platform::kMbYesNo | platform::kMbIconQuestion;
constexpr unsigned kYesNoCancel = platform::kMbYesNoCancel | platform::kMbIconQuestion;
constexpr unsigned kOkOnly = platform::kMbOk | platform::kMbIconExclamation;

struct AnswerCase {
  std::string typed;
  unsigned type;
  int expected;  // 0: not a button of that box
};

class ButtonForAnswer : public testing::TestWithParam<AnswerCase> {};

TEST_P(ButtonForAnswer, NamesAndPositions) {
  const AnswerCase& c = GetParam();
  const std::optional<int> id = scrpkg::install::button_for_answer(c.typed, c.type);
  EXPECT_EQ(id.value_or(0), c.expected) << c.typed;
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, ButtonForAnswer,
    testing::Values(AnswerCase{"ok", kOkCancel, kIdOk}, AnswerCase{"OK", kOkOnly, kIdOk},
                    AnswerCase{"Annuleren", kOkCancel, kIdCancel},
                    AnswerCase{"cancel", kOkCancel, kIdCancel}, AnswerCase{"ja", kYesNo, kIdYes},
                    AnswerCase{"YES", kYesNoCancel, kIdYes}, AnswerCase{"nee", kYesNoCancel, kIdNo},
                    AnswerCase{"no", kYesNo, kIdNo}, AnswerCase{"1", kYesNoCancel, kIdYes},
                    AnswerCase{"3", kYesNoCancel, kIdCancel}, AnswerCase{"2", kOkCancel, kIdCancel},
                    AnswerCase{"3", kOkCancel, 0}, AnswerCase{"0", kOkCancel, 0},
                    AnswerCase{"ja", kOkCancel, 0}, AnswerCase{"cancel", kYesNo, 0},
                    AnswerCase{"ok", kYesNo, 0}, AnswerCase{"", kOkOnly, 0},
                    AnswerCase{"oke", kOkOnly, 0}));

TEST(Boxes, ButtonsIconsAndStoppingAnswers) {
  const auto labels = [](unsigned type) {
    std::vector<std::string> out;
    for (const scrpkg::install::Button& b : scrpkg::install::buttons_of(type))
      out.push_back(b.label);
    return out;
  };
  EXPECT_EQ(labels(kOkOnly), (std::vector<std::string>{"OK"}));
  EXPECT_EQ(labels(kOkCancel), (std::vector<std::string>{"OK", "Annuleren"}));
  EXPECT_EQ(labels(kYesNo), (std::vector<std::string>{"Ja", "Nee"}));
  EXPECT_EQ(labels(kYesNoCancel), (std::vector<std::string>{"Ja", "Nee", "Annuleren"}));
  EXPECT_EQ(scrpkg::install::icon_word(kOkCancel), "information");
  EXPECT_EQ(scrpkg::install::icon_word(kYesNo), "question");
  EXPECT_EQ(scrpkg::install::icon_word(kOkOnly), "exclamation");
  EXPECT_EQ(scrpkg::install::icon_word(platform::kMbIconError), "error");
  EXPECT_EQ(scrpkg::install::stopping_button(kYesNoCancel), kIdCancel);
  EXPECT_EQ(scrpkg::install::stopping_button(kYesNo), kIdNo);
  EXPECT_EQ(scrpkg::install::stopping_button(kOkOnly), kIdOk);
}

TEST(SplitAnswers, CommasAndBlanks) {
  EXPECT_EQ(scrpkg::install::split_answers("yes, no ,ok"),
            (std::vector<std::string>{"yes", "no", "ok"}));
  EXPECT_EQ(scrpkg::install::split_answers("ja"), (std::vector<std::string>{"ja"}));
}

TEST(BoxAnswerer, ScriptedAnswersGoInOrderThenRunOut) {
  std::istringstream in;
  std::ostringstream out;
  scrpkg::install::BoxAnswerer answerer(scrpkg::install::AnswerMode::scripted, {"nee", "ok"}, in,
                                        out, true);
  EXPECT_EQ(answerer.answer("Vraag", "Tekst", kYesNoCancel), kIdNo);
  EXPECT_EQ(answerer.answer("Bevestig", "Tekst", kOkCancel), kIdOk);
  EXPECT_FALSE(answerer.error().has_value());
  // Nothing left: the box gets the answer that stops the installer, and the run failed.
  EXPECT_EQ(answerer.answer("Schijf vol", "Tekst", kOkCancel), kIdCancel);
  ASSERT_TRUE(answerer.error().has_value());
  EXPECT_NE(answerer.error()->find("Schijf vol"), std::string::npos);
  EXPECT_NE(out.str().find("> Nee\n"), std::string::npos) << out.str();
}

TEST(BoxAnswerer, WrongAnswerStopsEveryLaterBox) {
  std::istringstream in;
  std::ostringstream out;
  scrpkg::install::BoxAnswerer answerer(scrpkg::install::AnswerMode::scripted, {"ja", "ok"}, in,
                                        out, false);
  EXPECT_EQ(answerer.answer("Bevestig", "Tekst", kOkCancel), kIdCancel);
  EXPECT_EQ(answerer.answer("Vraag", "Tekst", kYesNo), kIdNo);
  EXPECT_TRUE(answerer.error().has_value());
  EXPECT_EQ(out.str(), "");
}

TEST(BoxAnswerer, OkOnlyBoxWithoutAnswerCallsTheHandler) {
  std::istringstream in;
  std::ostringstream out;
  scrpkg::install::BoxAnswerer answerer(scrpkg::install::AnswerMode::none, {}, in, out, false);
  std::string reported;
  answerer.on_unstoppable_error([&](const std::string& message) { reported = message; });
  EXPECT_EQ(answerer.answer("Klaar", "Tekst", kOkOnly), kIdOk);
  EXPECT_NE(reported.find("Klaar"), std::string::npos);
}

TEST(BoxAnswerer, TypedAnswersAskAgainUntilTheyNameAButton) {
  std::istringstream in("misschien\n2\n\n");
  std::ostringstream out;
  scrpkg::install::BoxAnswerer answerer(scrpkg::install::AnswerMode::interactive, {}, in, out,
                                        false);
  EXPECT_EQ(answerer.answer("Vraag", "Eerste regel\r\nTweede regel", kYesNo), kIdNo);
  EXPECT_EQ(answerer.answer("Vraag", "Tekst", kYesNo), kIdYes);  // empty line: the default
  EXPECT_EQ(answerer.answer("Vraag", "Tekst", kYesNo), kIdNo);   // input ended
  EXPECT_TRUE(answerer.error().has_value());
  EXPECT_NE(out.str().find("|   Eerste regel\n|   Tweede regel\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("Please answer Ja, Nee"), std::string::npos) << out.str();
}

TEST(BoxAnswerer, DefaultsPressTheFirstButton) {
  std::istringstream in;
  std::ostringstream out;
  scrpkg::install::BoxAnswerer answerer(scrpkg::install::AnswerMode::defaults, {}, in, out, true);
  EXPECT_EQ(answerer.answer("A", "B", kYesNoCancel), kIdYes);
  EXPECT_EQ(answerer.answer("A", "B", kOkCancel), kIdOk);
  EXPECT_FALSE(answerer.error().has_value());
}

}  // namespace
