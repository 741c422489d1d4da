#include "app/source_prompt.h"

#include <istream>
#include <ostream>
#include <string>

SourceChoice promptForSource(std::istream& in, std::ostream& out) {
    for (;;) {
        out << "1: USB capture\n2: Monitor capture\n> " << std::flush;
        std::string word;
        if (!(in >> word)) {
            return SourceChoice::None;
        }
        if (word == "1") {
            return SourceChoice::Camera;
        }
        if (word == "2") {
            return SourceChoice::Monitor;
        }
        out << "Enter 1 or 2\n\n";
    }
}
