#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A folder of the test's own, removed with everything in it when the test ends: the release and
// sanitizer suites may run at the same time.
class TempDir {
  public:
    // In memory (/dev/shm) suits tests that kill writers many times: they test the steps of a
    // write, and flushes to a busy disk would stretch them a hundredfold.
    enum class Place { Disk, MemoryWhereOffered };

    explicit TempDir(Place place = Place::Disk) {
        const bool inMemory =
            place == Place::MemoryWhereOffered && ::access("/dev/shm", W_OK | X_OK) == 0;
        std::string pattern = ((inMemory ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path()) /
                               "quelvane-test-XXXXXX")
                                  .string();
        if (::mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    std::filesystem::path write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        auto file = path_ / name;
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return file;
    }
    std::filesystem::path write(const std::string& name, const std::string& text) const {
        return write(name, std::vector<uint8_t>(text.begin(), text.end()));
    }

  private:
    std::filesystem::path path_;
};
