#include "bench/summary_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

std::vector<std::string> splitName(const std::string& name) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t slash; (slash = name.find('/', start)) != std::string::npos;
         start = slash + 1) {
        parts.push_back(name.substr(start, slash - start));
    }
    parts.push_back(name.substr(start));
    return parts;
}

std::string formatRow(const std::string& stage, const std::string& literal,
                      const std::string& product, const std::string& ratio) {
    char line[160];
    std::snprintf(line, sizeof line, "| %-26s | %12s | %12s | %9s |\n", stage.c_str(),
                  literal.c_str(), product.c_str(), ratio.c_str());
    return line;
}

std::string number(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

void SummaryTable::add(const std::string& benchmarkName, double milliseconds, double fps) {
    const std::vector<std::string> parts = splitName(benchmarkName);
    if (parts.size() < 3) {
        return;
    }
    stageOrder_.emplace(parts[0], static_cast<int>(stageOrder_.size()));
    entries_[{parts[2], parts[0], parts[1]}] = {milliseconds, fps};
}

void SummaryTable::print(std::ostream& out) const {
    // Smallest frames first: "640x480" before "1280x720".
    std::set<std::pair<int, std::string>> sizes;
    for (const auto& [key, entry] : entries_) {
        sizes.emplace(std::atoi(std::get<0>(key).c_str()), std::get<0>(key));
    }
    std::vector<std::pair<int, std::string>> stages;
    for (const auto& [stage, order] : stageOrder_) {
        stages.emplace_back(order, stage);
    }
    std::sort(stages.begin(), stages.end());
    for (const auto& [width, size] : sizes) {
        out << "\n"
            << size
            << " (ms per call, median of the repetitions; ratio literal / product; the live loop"
               " in frames per second)\n";
        out << formatRow("stage", "literal", "product", "ratio");
        out << formatRow("--------------------------", "------------", "------------", "---------");
        for (const auto& [order, stage] : stages) {
            const auto find = [&, &size = size, &stage = stage](const char* impl) -> const Entry* {
                const auto it = entries_.find({size, stage, impl});
                return it == entries_.end() ? nullptr : &it->second;
            };
            const Entry* literal = find("literal");
            // The live loop's product runs in the real windows.
            const char* productName = stage == "live" ? "highgui" : "product";
            const Entry* product = find(productName);
            if (literal != nullptr && product != nullptr && product->fps > 0.0) {
                out << formatRow(stage + " (fps)", number("%.1f", literal->fps),
                                 number("%.1f", product->fps),
                                 number("%.2f x", product->fps / literal->fps));
            } else if (literal != nullptr && product != nullptr) {
                out << formatRow(stage, number("%.3f", literal->milliseconds),
                                 number("%.3f", product->milliseconds),
                                 number("%.2f x", literal->milliseconds / product->milliseconds));
                if (stage == "iteration") {
                    out << formatRow("  frames per second",
                                     number("%.1f", 1000.0 / literal->milliseconds),
                                     number("%.1f", 1000.0 / product->milliseconds), "");
                }
            }
            // Stages of one implementation, and variants of the product.
            for (const auto& [key, entry] : entries_) {
                const std::string& implementation = std::get<2>(key);
                if (std::get<0>(key) != size || std::get<1>(key) != stage ||
                    implementation == "literal" ||
                    (implementation == productName && literal != nullptr)) {
                    continue;
                }
                const std::string fps = entry.fps > 0.0 ? number("%.1f fps", entry.fps) : "";
                out << formatRow(stage + " (" + implementation + ")", "",
                                 number("%.3f", entry.milliseconds), fps);
            }
            // The renderer's numbers alone against the decoder's pace.
            const Entry* decode = find("decode");
            const Entry* stats = find("stats");
            if (decode != nullptr && stats != nullptr && decode->fps > 0.0) {
                out << formatRow("  stats / decode (fps)", "", "",
                                 number("%.2f x", stats->fps / decode->fps));
            }
        }
    }
}
