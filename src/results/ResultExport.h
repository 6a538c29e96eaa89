#pragma once

#include "model/ResultList.h"

#include <string>
#include <string_view>

// The readable forms of a result list: the three-file browse page set (a frameset whose bottom
// frame lists the results and opens each link in its top frame), the saved HTML page, and the
// text file. The pages declare their text UTF-8. The files are 8-bit text with CR LF line ends, as
// Windows text-mode streams write them. Every result text is HTML-escaped in the pages, and an
// address that would run script is not linked (see HtmlText); other texts are written as they are.
class ResultExport {
  public:
    // The maker's home page, linked from the banner of the saved page.
    static constexpr std::string_view kHomePageAddress = "http://www.vantorell.example/";
    // The letters that tell the top page and the list page from the frameset.
    static constexpr char kTopPageLetter = 't';
    static constexpr char kListPageLetter = 'b';

    // Writes path (the frameset) and, beside it, the empty top page and the list page, named by
    // BrowsePagePath. The three files are replaced together: none is touched unless all three
    // were written. A symbolic link at one of the three names is replaced by the page, never
    // followed: the names are fixed, so a link there was not chosen by the user.
    static bool WriteBrowsePages(const ResultList& list, const std::string& path);
    // The path of a page of the browse set: the frameset's path with the letter put before the
    // extension of the file name ("/tmp/htmtemp.htm" gives "/tmp/htmtempt.htm"), or after the
    // name when it has none. Browsers here take the type of a local file from its extension
    // alone, so a page named "htmtemp.htmt" would be shown as its source text; keeping ".htm"
    // makes both frames render.
    static std::string BrowsePagePath(std::string_view path, char letter);
    // Writes the self-contained HTML page whose links each open a new browser window. The page
    // is titled with the keyword of its results, or "Vantorell 2001" when it is empty.
    static bool WriteHtmlPage(const ResultList& list, const std::string& path,
                              std::string_view keyword = {});
    // Writes five lines per result: title, address, summary, engine and an empty line.
    static bool WriteTextFile(const ResultList& list, const std::string& path);

    // The bytes on disk of each file above.
    static std::string BrowseFramesetBytes(std::string_view path);
    static std::string BrowseTopPageBytes();
    static std::string BrowseListPageBytes(const ResultList& list);
    static std::string HtmlPageBytes(const ResultList& list, std::string_view keyword = {});
    static std::string TextFileBytes(const ResultList& list);
};
