#include "app/error_line.h"

#include <cctype>

std::string errorLine(const std::exception& e) {
    std::string line = "error: ";
    bool pendingSpace = false;
    for (const char c : std::string(e.what())) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            pendingSpace = true;
            continue;
        }
        if (pendingSpace && line.back() != ' ') {
            line += ' ';
        }
        pendingSpace = false;
        line += c;
    }
    return line;
}
