#include "app/png_files.h"

#include <opencv2/imgcodecs.hpp>

#include "platform/whole_file.h"

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
