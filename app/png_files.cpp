#include "app/png_files.h"

#include <opencv2/imgcodecs.hpp>

#include "app/window_titles.h"
#include "platform/whole_file.h"

PngFiles windowPictureFiles(const std::map<std::string, cv::Mat>& shown,
                            const std::filesystem::path& folder) {
    PngFiles files;
    const auto add = [&](const auto& titles, const auto& names) {
        for (std::size_t i = 0; i < titles.size(); ++i) {
            if (const auto picture = shown.find(titles[i]); picture != shown.end()) {
                files.emplace_back(folder / names[i], picture->second);
            }
        }
    };
    add(kWindowTitles, kWindowFileNames);
    add(kScopeTitles, kScopeFileNames);
    return files;
}

std::filesystem::path writePngFiles(const PngFiles& files) {
    std::vector<std::vector<uchar>> encoded(files.size());
    std::vector<char> done(files.size(), 0);
    cv::parallel_for_(cv::Range(0, static_cast<int>(files.size())), [&](const cv::Range& range) {
        for (int i = range.start; i < range.end; ++i) {
            const auto at = static_cast<std::size_t>(i);
            done[at] = cv::imencode(".png", files[at].second, encoded[at]);
        }
    });
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!done[i] || !platform::writeWholeFile(files[i].first, encoded[i])) {
            return files[i].first;
        }
    }
    return {};
}
