#pragma once

#include <exception>
#include <string>

// "error: " and the exception's message on one line, white space folded (the image library's
// messages span several lines).
std::string errorLine(const std::exception& e);
