#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const;
    // path() + "/" + name
    std::string file(const std::string& name) const;

  private:
    std::string m_path;
};
