#include "tests/support/xml_elements.h"

#include <cctype>

namespace xml {
namespace {

struct Open {
    std::size_t index;                              // into the element list
    std::string qualified;                          // the name as written, to match the end tag
    std::map<std::string, std::string> namespaces;  // prefix ("" for the default) -> URI
};

std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The text of a start tag, from after '<' up to '>' outside quotes.
std::optional<std::string> tagBody(const std::string& document, std::size_t& pos) {
    char quote = 0;
    for (std::size_t i = pos; i < document.size(); ++i) {
        char c = document[i];
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            std::string body = document.substr(pos, i - pos);
            pos = i + 1;
            return body;
        }
    }
    return std::nullopt;
}

// Splits `name a="1" b='2'` into the name and its attributes.
std::optional<std::pair<std::string, std::map<std::string, std::string>>> splitTag(
    const std::string& body) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < body.size() && std::isspace(static_cast<unsigned char>(body[i]))) {
            ++i;
        }
    };
    auto readName = [&] {
        std::size_t start = i;
        while (i < body.size() && !std::isspace(static_cast<unsigned char>(body[i])) &&
               body[i] != '=') {
            ++i;
        }
        return body.substr(start, i - start);
    };
    std::string name = readName();
    std::map<std::string, std::string> attributes;
    for (skipBlanks(); i < body.size(); skipBlanks()) {
        std::string attribute = readName();
        skipBlanks();
        if (i >= body.size() || body[i] != '=') {
            return std::nullopt;
        }
        ++i;
        skipBlanks();
        if (i >= body.size() || (body[i] != '"' && body[i] != '\'')) {
            return std::nullopt;
        }
        std::size_t end = body.find(body[i], i + 1);
        if (end == std::string::npos) {
            return std::nullopt;
        }
        attributes[attribute] = body.substr(i + 1, end - i - 1);
        i = end + 1;
    }
    if (name.empty()) {
        return std::nullopt;
    }
    return std::make_pair(name, attributes);
}

// Steps over a comment, declaration or processing instruction that starts at `pos` (just after
// its '<'). True when there was one, nothing when it is left open.
std::optional<bool> skipMarkup(const std::string& document, std::size_t& pos) {
    for (const auto& [start, end] : {std::pair{"!--", "-->"}, {"?", "?>"}, {"!", ">"}}) {
        if (document.compare(pos, std::char_traits<char>::length(start), start) == 0) {
            std::size_t close = document.find(end, pos);
            if (close == std::string::npos) {
                return std::nullopt;
            }
            pos = close + std::char_traits<char>::length(end);
            return true;
        }
    }
    return false;
}

// Reads the start tag at `pos` (just after its '<'), adds its element and, unless it closes
// itself, opens its scope.
bool readStartTag(const std::string& document, std::size_t& pos, std::vector<Open>& open,
                  std::vector<Element>& elements) {
    auto body = tagBody(document, pos);
    if (!body) {
        return false;
    }
    bool selfClosing = !body->empty() && body->back() == '/';
    if (selfClosing) {
        body->pop_back();
    }
    auto tag = splitTag(*body);
    if (!tag) {
        return false;
    }
    Open scope{elements.size(), tag->first,
               open.empty() ? std::map<std::string, std::string>{} : open.back().namespaces};
    Element element;
    for (const auto& [attribute, value] : tag->second) {
        if (attribute == "xmlns") {
            scope.namespaces[""] = value;
        } else if (attribute.rfind("xmlns:", 0) == 0) {
            scope.namespaces[attribute.substr(6)] = value;
        } else {
            element.attributes[attribute] = value;
        }
    }
    std::size_t colon = tag->first.find(':');
    std::string prefix = colon == std::string::npos ? "" : tag->first.substr(0, colon);
    element.name = colon == std::string::npos ? tag->first : tag->first.substr(colon + 1);
    if (scope.namespaces.count(prefix) == 0 && !prefix.empty()) {
        return false;
    }
    element.ns = scope.namespaces[prefix];
    elements.push_back(std::move(element));
    if (!selfClosing) {
        open.push_back(std::move(scope));
    }
    return true;
}

}  // namespace

std::optional<std::vector<Element>> parseElements(const std::string& document) {
    std::vector<Element> elements;
    std::vector<Open> open;
    std::size_t pos = 0;
    while (pos < document.size()) {
        std::size_t lt = document.find('<', pos);
        if (!open.empty()) {
            elements[open.back().index].text += document.substr(pos, lt - pos);
        }
        if (lt == std::string::npos) {
            break;
        }
        pos = lt + 1;
        std::optional<bool> skipped = skipMarkup(document, pos);
        if (!skipped) {
            return std::nullopt;
        }
        if (*skipped) {
            continue;
        }
        if (document.compare(pos, 1, "/") == 0) {
            std::size_t gt = document.find('>', pos);
            if (gt == std::string::npos || open.empty() ||
                trimmed(document.substr(pos + 1, gt - pos - 1)) != open.back().qualified) {
                return std::nullopt;
            }
            open.pop_back();
            pos = gt + 1;
            continue;
        }
        if (!readStartTag(document, pos, open, elements)) {
            return std::nullopt;
        }
    }
    if (!open.empty()) {
        return std::nullopt;
    }
    for (Element& element : elements) {
        element.text = trimmed(element.text);
    }
    return elements;
}

}  // namespace xml
