#pragma once
// A small namespace-aware XML reader, enough for application manifests: elements, attributes,
// character data and xmlns declarations; no DTDs, no entity decoding.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace xml {

struct Element {
    std::string ns;    // the namespace URI the element is in, resolved through xmlns
    std::string name;  // the local name
    std::map<std::string, std::string> attributes;  // as written, without xmlns declarations
    std::string text;  // character data directly inside the element, blanks trimmed
};

// Every element in document order; nothing when the tags do not balance, a quote or tag is
// left open, or a prefix is undeclared.
std::optional<std::vector<Element>> parseElements(const std::string& document);

}  // namespace xml
