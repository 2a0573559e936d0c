// fuzz_replay.cpp - runs a fuzz target's LLVMFuzzerTestOneInput once on
// every file of the folders (or files) given, without libFuzzer, so the
// checked-in corpus is a regression test in every native build.
//
//   NAME_replay fuzz/corpus/NAME        exit 0 when every input ran
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static int RunFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return 0;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return 1;
}

int main(int argc, char** argv)
{
    int inputs = 0;
    for (int i = 1; i < argc; i++) {
        std::error_code ec;
        if (std::filesystem::is_directory(argv[i], ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                if (entry.is_regular_file()) {
                    if (!RunFile(entry.path()))
                        return 1;
                    inputs++;
                }
        } else {
            if (!RunFile(argv[i]))
                return 1;
            inputs++;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;  // an empty corpus means the path is wrong
}
