#pragma once
// A temporary folder for tests that touch real files, removed with everything in it, on any
// system; and the files' bytes in and out.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace papyra::test {

class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        path_ = (std::filesystem::temp_directory_path() /
                 ("papyra-" + std::to_string(random()) + std::to_string(random())))
                    .string();
        std::filesystem::create_directory(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string operator/(const std::string& name) const {
        return (std::filesystem::path(path_) / name).string();
    }
    const std::string& path() const { return path_; }
    size_t Entries() const { return std::distance(std::filesystem::directory_iterator(path_), {}); }

private:
    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace papyra::test
