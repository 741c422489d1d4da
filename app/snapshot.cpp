#include "app/snapshot.h"

#include <cstdio>
#include <iostream>
#include <system_error>

#include "app/frame_numbers.h"
#include "app/png_files.h"
#include "app/window_titles.h"
#include "platform/platform.h"
#include "platform/whole_file.h"

namespace {

std::string numbersFile(const Snapshot& snapshot) {
    const auto shownGray = snapshot.shown.find(kGrayWindow);
    const FrameNumbers numbers = numbersOfShown(
        snapshot.frame, snapshot.gray,
        shownGray != snapshot.shown.end() ? shownGray->second : cv::Mat(), snapshot.motion);
    return std::string(kNumbersHeader) +
           numbersRow(snapshot.number, std::string(snapshot.kind), numbers, std::nullopt);
}

// Every file of the snapshot; empty when all were written, else the reason.
std::string writeFiles(const Snapshot& snapshot, const std::filesystem::path& folder) {
    // The frame's encoding is the longest: it starts first, beside the seven pictures.
    PngFiles files = {{folder / "frame.png", snapshot.frame}};
    const PngFiles pictures = windowPictureFiles(snapshot.shown, folder);
    files.insert(files.end(), pictures.begin(), pictures.end());
    if (const std::filesystem::path failed = writePngFiles(files); !failed.empty()) {
        return "cannot write " + failed.filename().string();
    }
    const std::string numbers = numbersFile(snapshot);
    if (!platform::writeWholeFile(
            folder / "numbers.csv",
            {reinterpret_cast<const unsigned char*>(numbers.data()), numbers.size()})) {
        return "cannot write numbers.csv";
    }
    return {};
}

}  // namespace

Snapshot Snapshot::copy() const {
    Snapshot copied{{}, frame.clone(), gray.clone(), motion.clone(), number, kind};
    for (const auto& [title, image] : shown) {
        copied.shown[title] = image.clone();
    }
    return copied;
}

std::filesystem::path defaultSnapshotFolder() {
    const std::filesystem::path pictures = platform::picturesFolder();
    return pictures.empty() ? std::filesystem::path() : pictures / "Velmora";
}

std::filesystem::path makeSnapshotFolder(const std::filesystem::path& base, const std::tm& at,
                                         std::string& reason) {
    char name[32];
    std::strftime(name, sizeof name, "velmora-%Y%m%d-%H%M%S", &at);
    std::error_code ec;
    std::filesystem::create_directories(base, ec);
    for (int attempt = 1; attempt < 1000; ++attempt) {
        std::string folderName = name;
        if (attempt > 1) {
            folderName.append(1, '-').append(std::to_string(attempt));
        }
        const std::filesystem::path folder = base / folderName;
        if (std::filesystem::create_directory(folder, ec)) {
            return folder;
        }
        if (ec) {
            reason = ec.message();
            return {};
        }
    }
    reason = "too many snapshots in that second";
    return {};
}

bool saveSnapshot(const Snapshot& snapshot, const std::filesystem::path& base, const std::tm& at) {
    std::string reason;
    const std::filesystem::path folder = makeSnapshotFolder(base, at, reason);
    if (!folder.empty()) {
        reason = writeFiles(snapshot, folder);
    }
    if (!reason.empty()) {
        std::cerr << "error: cannot write snapshot " << (folder.empty() ? base : folder).string()
                  << ": " << reason << "\n";
        return false;
    }
    std::cout << "snapshot: " << folder.string() << std::endl;
    return true;
}
