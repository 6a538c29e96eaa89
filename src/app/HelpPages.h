#pragma once

#include <string>

// Where the Help menu's commands lead: the help page shipped in the program folder and the
// maker's web pages.
class HelpPages {
  public:
    // The help page, in the program folder beside the settings.
    static constexpr const char* kHelpFileName = "Vantorell2001.html";
    static constexpr const char* kHomePage = "https://www.vantorell2001.example/";
    static constexpr const char* kFeedbackPage = "https://www.vantorell2001.example/feedback.html";
    static constexpr const char* kSuggestEnginePage =
        "https://www.vantorell2001.example/suggest.html";
    static constexpr const char* kTellFriendPage = "https://www.vantorell2001.example/tell.html";
    static constexpr const char* kUpdatePage = "https://www.vantorell2001.example/update.html";

    // The help page's full path in programFolder.
    static std::string HelpFilePath(const std::string& programFolder);
};
