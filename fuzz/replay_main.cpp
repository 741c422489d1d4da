// Runs a harness once on every file given, or found in a directory given, as libFuzzer does
// with -runs=0; used where libFuzzer is not linked. Options (leading '-') are ignored.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool runFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "error: cannot read " << path.string() << "\n";
        return false;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            continue;
        }
        std::vector<std::filesystem::path> files{argv[i]};
        if (std::filesystem::is_directory(files[0])) {
            files.assign(std::filesystem::directory_iterator(argv[i]), {});
        }
        for (const std::filesystem::path& file : files) {
            if (!runFile(file)) {
                return 1;
            }
            ++runs;
        }
    }
    std::cout << "ran " << runs << " inputs\n";
    return 0;
}
