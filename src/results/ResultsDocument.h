#pragma once

#include "model/ResultList.h"
#include "search/RelevanceRanking.h"

#include <string>
#include <string_view>
#include <vector>

class MessageSink;
class ShellOpen;

// The file commands of the results: Save Results (the format chosen by the file's extension),
// Open Results, and "Browse..." (the list as a frameset in a private folder of the user's,
// opened by the desktop). The dialogs belong to the window; these are the steps after them.
class ResultsDocument {
  public:
    enum class SaveFormat {
        ResultsFile, // extension "vnr"
        TextFile,    // extension "txt"
        HtmlPage,    // any other extension, or none
        JsonFile,    // extension "json"
        CsvFile,     // extension "csv"
    };

    // The file dialogs of Save Results and Open Results: default extension and filters.
    static constexpr std::string_view kDefaultExtension = ".vnr";
    static constexpr std::string_view kSaveFilter =
        "Vantorell 2001 Files (*.vnr)|*.vnr|HTML Files (*.htm)|*.htm|Text Files (*.txt)|*.txt|"
        "All Files (*.*)|*.*||";
    static constexpr std::string_view kOpenFilter =
        "Vantorell 2001 Files (*.vnr)|*.vnr|All Files (*.*)|*.*||";
    // The frameset's file name in the browse folder.
    static constexpr std::string_view kBrowseFileName = "htmtemp.htm";
    // The browse folder's name in the user's runtime folder (see PrivateFolder).
    static constexpr std::string_view kBrowseFolderName = "Vantorell2001";
    static constexpr std::string_view kTextExtension = "txt";
    static constexpr std::string_view kJsonExtension = "json";
    static constexpr std::string_view kCsvExtension = "csv";

    // The format a save to path writes, by its extension in any letter case.
    static SaveFormat FormatForPath(const std::string& path);
    // Writes list to path in the format of its extension; an HTML page is titled with keyword
    // (the search's, empty when the results did not come from one). pages gives the search's
    // page of each row for the JSON file's ranks and scores. False when the file could not be
    // written; an existing file is then left as it was.
    static bool SaveResults(const ResultList& list, const std::string& path,
                            std::string_view keyword = {},
                            const std::vector<const RelevanceRanking::Page*>& pages = {});
    // Empties list and reads the results file into it. A missing file leaves the list empty; a
    // file that cannot be read shows kUnreadableMessage in a "Warning" box with the path and
    // the cause on a line below; a file whose end was cut is read with an "Information" note.
    // Returns the number of results now in the list.
    static int32_t OpenResults(ResultList& list, const std::string& path, MessageSink& messages);
    // The status text after opening: "%d result(s)".
    static std::string CountStatusText(int32_t count);

    // The path of the browse frameset: a private folder of the user's (PrivateFolder, named
    // kBrowseFolderName, made in the temporary folder when there is no runtime folder), "/"
    // and kBrowseFileName. The pages are not written straight into the temporary folder, where
    // another user could plant a link at their fixed names. Empty when no private folder could
    // be made.
    static std::string BrowsePath();
    // Writes the browse page set at BrowsePath() and asks opener to open it, without waiting.
    // False when the pages could not be written (nothing is opened then) or the opener failed.
    static bool Browse(const ResultList& list, ShellOpen& opener);
};
