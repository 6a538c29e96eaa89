#include "results/ResultExport.h"

#include "platform/AtomicFile.h"
#include "platform/TextMode.h"
#include "results/HtmlText.h"

#include <array>

namespace {

// The pieces below are the texts as they reach the file before the line-end translation: each
// "\n" becomes CR LF on disk. Where a percent sign appears it is one percent sign.

// Result texts are the bytes the engines' pages sent, which today are UTF-8; without this
// declaration a browser may read them in a legacy encoding and garble every non-ASCII letter.
// Browsers look for it in the first 1024 bytes, so it comes first in the head.
constexpr std::string_view kCharsetDeclaration = "<meta charset=\"utf-8\">\n";
constexpr std::string_view kDocumentStart = "<html>\n<head>\n";

// The rest of the head of the browse list page; its base target makes every link open in the
// top frame.
constexpr std::string_view kListHeader =
    "<base target=\"top\">\n<style type=\"text/css\">\n<!--\n"
    ".txt {  font-family: \"Arial\"; font-size: 9pt}\n"
    ".txt1 {  font-family: \"Arial\"; font-size: 10pt}\n"
    "a:link {  text-decoration: none}\n-->\n</style>\n</head>\n<body link=\"#FFFFFF\">\n";
// The saved page's title, when there is no keyword to name it.
constexpr std::string_view kUntitledPageTitle = "Vantorell 2001";
constexpr std::string_view kTitleStart = "<title>";
constexpr std::string_view kTitleEnd = "</title>\n";
// The rest of the head of the saved page: the list header without its base target, then a
// banner that links to the maker's home page.
constexpr std::string_view kPageHeader =
    "<style type=\"text/css\">\n<!--\n"
    ".txt {  font-family: \"Arial\"; font-size: 9pt}\n"
    ".txt1 {  font-family: \"Arial\"; font-size: 10pt}\n"
    "a:link {  text-decoration: none}\n-->\n</style>\n</head>\n<body link=\"#FFFFFF\">\n"
    "<div align=\"right\">\n  <table width=\"100%\" border=\"0\" bgcolor=\"#999999\">\n"
    "    <tr>\n      <td>\n        <div align=\"right\"><font face=IMPACT size=3><a href=\"";
constexpr std::string_view kBannerTail = "\">Vantorell 2001</a></font> </div>\n      </td>\n"
                                         "    </tr>\n  </table>\n</div><BR>\n";
constexpr std::string_view kPageEnd = "</body></html>";

// One result block: a blue row with the title as a link and the engine, a white row with the
// summary. The next block follows without a line break.
constexpr std::string_view kBlockBeforeAddress =
    "<table border=\"1\" width=\"100%\" class=\"txt\" cellpadding=\"0\" cellspacing=\"0\" "
    "bordercolorlight=\"#FFFFFF\" bordercolordark=\"#9999FF\">\n"
    "  <tr bgcolor=\"#9999FF\">\n"
    "    <td width=\"100%\" class=\"txt\"> <a href=\"";
// The link tails: the list page's links open in the top frame (by the base target), the saved
// page's in a new window.
constexpr std::string_view kListLinkTail = "\t\">";
constexpr std::string_view kPageLinkTail = "\t\" target=\"_blank\">";
constexpr std::string_view kBlockBeforeEngine =
    "\t</a><font size=\"2\">&nbsp;&nbsp;<font color=\"#FFFFFF\" class=\"txt\">--&nbsp;&nbsp;";
constexpr std::string_view kBlockBeforeSummary = "\t</font></font></td>\n"
                                                 "  </tr>\n  <tr bgcolor=\"#FFFFFF\">\n"
                                                 "    <td width=\"100%\"><font class=\"txt1\">";
constexpr std::string_view kBlockEnd =
    "\t</font></td>  </tr><tr><td width=\"100%\"></td></tr></table>";

// The frameset of the browse page set and its empty top page.
constexpr std::string_view kFramesetBeforeTop =
    "<html><head><title>\n</title></head><frameset rows=\"*,20%\">"
    "<frame name=\"top\" target=\"_self\" src=\"";
constexpr std::string_view kFramesetBeforeList =
    "\">\n<frame name=\"bottom\" target=\"top\" src=\"";
constexpr std::string_view kFramesetEnd = "\"></frameset></html>";
constexpr std::string_view kTopPage = "<html><head><base target=\"_self\"></head><body>"
                                      "</body></html>";

// Each result of the text file is five lines: four texts and an empty line.
constexpr char kLineFeed = '\n';
constexpr char kFolderSeparator = '/';
constexpr char kExtensionSeparator = '.';
// The files of the browse page set: the frameset, the top page and the list page.
constexpr std::size_t kBrowseFileCount = 3;

// Appends an inserted text: escaped, with its line feeds written as CR LF like every byte of a
// text-mode stream.
void AppendText(std::string_view text, std::string& out) {
    TextMode::AppendToDisk(HtmlText::Escaped(text), out);
}

void AppendLinkTarget(std::string_view address, std::string& out) {
    std::string target;
    HtmlText::AppendLinkTarget(address, target);
    TextMode::AppendToDisk(target, out);
}

void AppendBlocks(const ResultList& list, std::string_view linkTail, std::string& out) {
    for (int32_t i = 0; i < list.Count(); ++i) {
        const SearchResult& result = *list.Get(i);
        TextMode::AppendToDisk(kBlockBeforeAddress, out);
        AppendLinkTarget(result.address.view(), out);
        TextMode::AppendToDisk(linkTail, out);
        AppendText(result.title.view(), out);
        TextMode::AppendToDisk(kBlockBeforeEngine, out);
        AppendText(result.engine.view(), out);
        TextMode::AppendToDisk(kBlockBeforeSummary, out);
        AppendText(result.summary.view(), out);
        TextMode::AppendToDisk(kBlockEnd, out);
    }
}

} // namespace

bool ResultExport::WriteBrowsePages(const ResultList& list, const std::string& path) {
    AtomicFile frameset(path, AtomicFile::Links::Replace);
    AtomicFile topPage(BrowsePagePath(path, kTopPageLetter), AtomicFile::Links::Replace);
    AtomicFile listPage(BrowsePagePath(path, kListPageLetter), AtomicFile::Links::Replace);
    const bool staged = frameset.Stage(BrowseFramesetBytes(path)) &&
                        topPage.Stage(BrowseTopPageBytes()) &&
                        listPage.Stage(BrowseListPageBytes(list));
    if (!staged) {
        return false;
    }
    const std::array<AtomicFile*, kBrowseFileCount> files = {&frameset, &topPage, &listPage};
    bool committed = true;
    for (AtomicFile* file : files) {
        if (!file->Commit()) {
            committed = false;
        }
    }
    return committed;
}

bool ResultExport::WriteHtmlPage(const ResultList& list, const std::string& path,
                                 std::string_view keyword) {
    return AtomicFile::Write(path, HtmlPageBytes(list, keyword));
}

bool ResultExport::WriteTextFile(const ResultList& list, const std::string& path) {
    return AtomicFile::Write(path, TextFileBytes(list));
}

std::string ResultExport::BrowseFramesetBytes(std::string_view path) {
    std::string out;
    TextMode::AppendToDisk(kFramesetBeforeTop, out);
    AppendText(BrowsePagePath(path, kTopPageLetter), out);
    TextMode::AppendToDisk(kFramesetBeforeList, out);
    AppendText(BrowsePagePath(path, kListPageLetter), out);
    TextMode::AppendToDisk(kFramesetEnd, out);
    return out;
}

std::string ResultExport::BrowsePagePath(std::string_view path, char letter) {
    const std::size_t nameBegin = path.rfind(kFolderSeparator);
    const std::size_t dot = path.rfind(kExtensionSeparator);
    const bool hasExtension =
        dot != std::string_view::npos && (nameBegin == std::string_view::npos || dot > nameBegin);
    std::string page(path);
    if (hasExtension) {
        page.insert(dot, 1, letter);
    } else {
        page += letter;
    }
    return page;
}

std::string ResultExport::BrowseTopPageBytes() {
    return TextMode::ToDisk(kTopPage);
}

std::string ResultExport::BrowseListPageBytes(const ResultList& list) {
    std::string out;
    TextMode::AppendToDisk(kDocumentStart, out);
    TextMode::AppendToDisk(kCharsetDeclaration, out);
    TextMode::AppendToDisk(kListHeader, out);
    AppendBlocks(list, kListLinkTail, out);
    TextMode::AppendToDisk(kPageEnd, out);
    return out;
}

std::string ResultExport::HtmlPageBytes(const ResultList& list, std::string_view keyword) {
    std::string out;
    TextMode::AppendToDisk(kDocumentStart, out);
    TextMode::AppendToDisk(kCharsetDeclaration, out);
    TextMode::AppendToDisk(kTitleStart, out);
    AppendText(keyword.empty() ? kUntitledPageTitle : keyword, out);
    TextMode::AppendToDisk(kTitleEnd, out);
    TextMode::AppendToDisk(kPageHeader, out);
    AppendLinkTarget(kHomePageAddress, out);
    TextMode::AppendToDisk(kBannerTail, out);
    AppendBlocks(list, kPageLinkTail, out);
    TextMode::AppendToDisk(kPageEnd, out);
    return out;
}

std::string ResultExport::TextFileBytes(const ResultList& list) {
    std::string text;
    for (int32_t i = 0; i < list.Count(); ++i) {
        const SearchResult& result = *list.Get(i);
        text += result.title.view();
        text += kLineFeed;
        text += result.address.view();
        text += kLineFeed;
        text += result.summary.view();
        text += kLineFeed;
        text += result.engine.view();
        text += kLineFeed;
        text += kLineFeed;
    }
    return TextMode::ToDisk(text);
}
