#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// An image sequence named by a printf-style pattern, with the image library's sequence rules:
// exactly one "%d" or "%u", optionally with a 0 and one digit 1 to 9 for the width ("%04d"),
// and no other "%".
struct SequencePattern {
    std::string prefix;
    std::string suffix;
    int width = 0;
    bool zeroPadded = false;

    // The name of member `number`, as printf would make it.
    std::string nameOf(int number) const;
};

std::optional<SequencePattern> parseSequencePattern(const std::string& name);

// The files of the sequence: numbered from 0 (or from 1 where 0 is missing) up to the first
// number with no file. Empty when the first is missing too.
std::vector<std::filesystem::path> sequenceMembers(const SequencePattern& pattern);
