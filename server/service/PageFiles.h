#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <httplib.h>

namespace quelvane::server {

// The browser build's page served from the API's own origin, so that the page reaches the API
// without asking the browser for cross-origin rights. Only files under the folder, as they are on
// disk: no listing, nothing reached through a symbolic link out of it, no hidden files.
class PageFiles {
  public:
    // folder must exist; it is resolved once, here.
    explicit PageFiles(const std::filesystem::path& folder);

    // Serves GET and HEAD of every path the API's routes, installed before, do not take.
    void install(httplib::Server& server);

  private:
    // The file a request's decoded path names, inside the folder; none for a path that leaves it,
    // names a hidden file or a folder, or belongs to the API.
    std::optional<std::filesystem::path> resolve(const std::string& path) const;
    void serve(const httplib::Request& req, httplib::Response& res) const;

    std::filesystem::path root_;
};

}  // namespace quelvane::server
