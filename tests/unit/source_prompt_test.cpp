#include <sstream>

#include <gtest/gtest.h>

#include "app/source_prompt.h"

namespace {

const std::string kPrompt = "1: USB capture\n2: Monitor capture\n> ";
const std::string kRetry = "Enter 1 or 2\n\n";

struct PromptRun {
    SourceChoice choice;
    std::string output;
    std::string unread;
};

PromptRun prompt(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    const SourceChoice choice = promptForSource(in, out);
    in.clear();
    std::string rest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return {choice, out.str(), rest};
}

TEST(SourcePrompt, EmptyInputWritesThePromptOnlyAndChoosesNothing) {
    const PromptRun run = prompt("");
    EXPECT_EQ(run.choice, SourceChoice::None);
    EXPECT_EQ(run.output, kPrompt);
}

TEST(SourcePrompt, LeadingBlanksAndTabsAreSkipped) {
    EXPECT_EQ(prompt("  \t 2\n").choice, SourceChoice::Monitor);
    EXPECT_EQ(prompt("\n\n1\n").choice, SourceChoice::Camera);
}

TEST(SourcePrompt, AWordEndedByTheEndOfInputCounts) {
    const PromptRun run = prompt("1");
    EXPECT_EQ(run.choice, SourceChoice::Camera);
    EXPECT_EQ(run.output, kPrompt);
}

TEST(SourcePrompt, OnlyTheExactWordsAreAnswers) {
    for (const char* wrong : {"12", "01", "1.", "+1", "one", "2x", "Q"}) {
        const PromptRun run = prompt(std::string(wrong) + "\n");
        EXPECT_EQ(run.choice, SourceChoice::None) << wrong;
        EXPECT_EQ(run.output, kPrompt + kRetry + kPrompt) << wrong;
    }
}

TEST(SourcePrompt, AWrongWordAndTwoOnOneLineAskOnceMore) {
    const PromptRun run = prompt("x 2\n");
    EXPECT_EQ(run.choice, SourceChoice::Monitor);
    EXPECT_EQ(run.output, kPrompt + kRetry + kPrompt);
}

TEST(SourcePrompt, WordsAfterTheAnswerStayUnread) {
    const PromptRun run = prompt("1 2\n");
    EXPECT_EQ(run.choice, SourceChoice::Camera);
    EXPECT_EQ(run.unread, " 2\n");
}

TEST(SourcePrompt, AWrongWordThenTheEndOfInput) {
    const PromptRun run = prompt("hello");
    EXPECT_EQ(run.choice, SourceChoice::None);
    EXPECT_EQ(run.output, kPrompt + kRetry + kPrompt);
}

TEST(SourcePrompt, AttemptsAreUnlimited) {
    std::string input;
    for (int i = 0; i < 100; ++i) {
        input += "3\n";
    }
    EXPECT_EQ(prompt(input + "2").choice, SourceChoice::Monitor);
}

}  // namespace
