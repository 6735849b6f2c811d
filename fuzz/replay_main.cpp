// Runs a fuzz target over saved inputs without libFuzzer, so the corpus doubles as a
// regression test: every file in the directories (or every file) given on the command
// line is passed to LLVMFuzzerTestOneInput once. A target that finds a fault aborts.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replayFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return false;
    }
    // An exactly sized heap copy, so that a sanitizer build sees any read past it.
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path target(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(target, error)) {
            for (const auto& entry : std::filesystem::directory_iterator(target, error)) {
                if (entry.is_regular_file()) {
                    if (!replayFile(entry.path())) {
                        return 1;
                    }
                    ++replayed;
                }
            }
        } else if (!replayFile(target)) {
            return 1;
        } else {
            ++replayed;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    // An empty or missing corpus would pass silently otherwise.
    return replayed > 0 ? 0 : 1;
}
