#pragma once

#include <string>
#include <string_view>

// A folder of this user's that no other local user may enter, for files written under fixed
// names (such as the browse pages) that another user must neither read nor replace by a link
// planted at one of those names.
//
// The folder is "name" in the user's runtime folder ($XDG_RUNTIME_DIR) when that is set to an
// absolute path of a real folder of this user that nobody else may write; it is created with
// mode 0700 when missing. Otherwise, or when the folder found there is not private (a link,
// another user's, or open to group or others), a fresh folder "name-XXXXXX" is made by mkdtemp
// in the temporary folder; the process keeps using that one while it stays private.
class PrivateFolder {
  public:
    // The private folder for name (without a trailing "/"), or an empty string when none could
    // be found or made.
    static std::string Find(std::string_view name, const std::string& temporaryFolder);
    // True when path is a real folder (not a link to one), owned by this user, with no
    // permission for group or others.
    static bool IsPrivate(const std::string& path);
};
