#include "server/service/PageFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <map>
#include <memory>

namespace quelvane::server {

namespace {

using httplib::Request;
using httplib::Response;

constexpr size_t kChunkBytes = size_t{64} << 10;

// A file open for as long as its answer is being sent.
struct OpenFile {
    explicit OpenFile(int descriptor) : fd(descriptor) {}
    ~OpenFile() {
        if (fd >= 0)
            ::close(fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd;
};

// The API's own paths, which a file of the same name never shadows.
bool isApiPath(const std::string& path) {
    for (const char* own : {"/api", "/health", "/metrics"}) {
        const std::string prefix = own;
        if (path == prefix || path.starts_with(prefix + "/"))
            return true;
    }
    return false;
}

// A path of plain names: no empty, hidden, "." or ".." step, no backslash or NUL that a file
// system might read otherwise.
bool isPlainPath(const std::string& path) {
    if (path.find('\0') != std::string::npos || path.find('\\') != std::string::npos)
        return false;
    size_t start = 1;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('/', start), path.size());
        if (end == start || path[start] == '.')
            return false;
        start = end + 1;
    }
    return true;
}

// Names the file's version: its size and when it last changed.
std::string entityTag(const struct stat& status) {
    return "\"" + std::to_string(status.st_size) + "-" + std::to_string(status.st_mtim.tv_sec) +
           "." + std::to_string(status.st_mtim.tv_nsec) + "\"";
}

// The Content-Type a page's file is served with, by its extension.
const char* pageContentType(const std::filesystem::path& file) {
    static const std::map<std::string, const char*> types = {
        {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".mjs", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".json", "application/json"},
        {".wasm", "application/wasm"},
        {".png", "image/png"},
        {".svg", "image/svg+xml"},
        {".ico", "image/x-icon"},
        {".txt", "text/plain; charset=utf-8"},
    };
    const auto type = types.find(file.extension().string());
    // The game's packed files (.data), the SoundFont (.sf2) and anything else: bytes.
    return type == types.end() ? "application/octet-stream" : type->second;
}

}  // namespace

PageFiles::PageFiles(const std::filesystem::path& folder)
    : root_(std::filesystem::canonical(folder)) {}

std::optional<std::filesystem::path> PageFiles::resolve(const std::string& path) const {
    if (path.empty() || path[0] != '/' || isApiPath(path))
        return std::nullopt;
    const std::string name = path == "/" ? "/index.html" : path;
    if (!isPlainPath(name))
        return std::nullopt;
    // The real file, every link followed: it must still be inside the folder.
    std::error_code error;
    const auto file = std::filesystem::canonical(root_ / name.substr(1), error);
    if (error || !std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    const std::string inside = root_.string() + "/";
    if (!file.string().starts_with(inside))
        return std::nullopt;
    return file;
}

void PageFiles::install(httplib::Server& server) {
    server.Get(R"(/.*)", [this](const Request& req, Response& res) { serve(req, res); });
}

void PageFiles::serve(const Request& req, Response& res) const {
    const auto file = resolve(req.path);
    // The size and the tag are the open file's own, even when a build replaces it meanwhile.
    auto opened =
        std::make_shared<OpenFile>(file ? ::open(file->c_str(), O_RDONLY | O_CLOEXEC) : -1);
    struct stat status {};
    if (opened->fd < 0 || ::fstat(opened->fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        res.status = 404;
        return;
    }
    // The files keep their names from one build to the next, so a browser asks each time whether
    // its copy is still the one on disk.
    const std::string tag = entityTag(status);
    res.set_header("Cache-Control", "no-cache");
    res.set_header("ETag", tag);
    res.set_header("X-Content-Type-Options", "nosniff");
    if (req.get_header_value("If-None-Match") == tag) {
        res.status = 304;
        return;
    }
    // The status is left to httplib, which answers a Range with 206 and that part of the file. As
    // many bytes as the file had when asked for: one that shrinks meanwhile ends the connection
    // rather than sending what is not there.
    res.set_content_provider(
        static_cast<size_t>(status.st_size), pageContentType(*file),
        [opened](size_t offset, size_t length, httplib::DataSink& sink) {
            std::array<char, kChunkBytes> chunk;
            const ssize_t read = ::pread(opened->fd, chunk.data(), std::min(length, chunk.size()),
                                         static_cast<off_t>(offset));
            return read > 0 && sink.write(chunk.data(), static_cast<size_t>(read));
        });
}

}  // namespace quelvane::server
