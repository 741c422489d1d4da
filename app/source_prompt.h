#pragma once

#include <iosfwd>

enum class SourceChoice { None, Camera, Monitor };

// Asks for the source until the answer is the word 1 or 2. Returns None when the input ends
// (or fails) first. Words after the answer stay unread.
SourceChoice promptForSource(std::istream& in, std::ostream& out);
