#pragma once

#include <string>

namespace karuneo::testing {

// Folders nested below `base` until their path is longer than PATH_MAX, the
// deepest holding A/f. Only handles relative to a parent reach that deep, so
// they build, check and remove it; std::filesystem cannot.
class DeepFolder {
  public:
    explicit DeepFolder(const std::string& base);
    ~DeepFolder();
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;

    // The deepest folder's path, 5 000 characters and more.
    std::string Path() const;
    // The deepest folder still holds A/f, and no f was moved up beside A.
    bool Intact() const;

  private:
    std::string base_;
};

}  // namespace karuneo::testing
