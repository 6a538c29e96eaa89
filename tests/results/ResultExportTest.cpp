#include "results/ResultExport.h"
#include "platform/TextMode.h"
#include "results/HtmlText.h"
#include "results/ResultsDocument.h"

#include "support/RecordingDesktopOpen.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Text pages reach the disk with every line feed as CR LF (TextMode::ToDisk, pinned down by the
// results file tests).
const std::string kStyle = "<style type=\"text/css\">\n<!--\n"
                           ".txt {  font-family: \"Arial\"; font-size: 9pt}\n"
                           ".txt1 {  font-family: \"Arial\"; font-size: 10pt}\n"
                           "a:link {  text-decoration: none}\n-->\n</style>\n</head>\n"
                           "<body link=\"#FFFFFF\">\n";

std::string block(const std::string& address, const std::string& linkTail, const std::string& title,
                  const std::string& engine, const std::string& summary) {
    return "<table border=\"1\" width=\"100%\" class=\"txt\" cellpadding=\"0\" cellspacing=\"0\" "
           "bordercolorlight=\"#FFFFFF\" bordercolordark=\"#9999FF\">\n"
           "  <tr bgcolor=\"#9999FF\">\n"
           "    <td width=\"100%\" class=\"txt\"> <a href=\"" +
           address + linkTail + title +
           "\t</a><font size=\"2\">&nbsp;&nbsp;<font color=\"#FFFFFF\" class=\"txt\">"
           "--&nbsp;&nbsp;" +
           engine + "\t</font></font></td>\n  </tr>\n  <tr bgcolor=\"#FFFFFF\">\n" +
           "    <td width=\"100%\"><font class=\"txt1\">" + summary + "\t</font></td>" +
           "  </tr><tr><td width=\"100%\"></td></tr></table>";
}

const std::string kPageTail = "\t\" target=\"_blank\">";
const std::string kListTail = "\t\">";

const std::string kCharset = "<meta charset=\"utf-8\">\n";

std::string savedPageHead(const std::string& title = "Vantorell 2001") {
    return "<html>\n<head>\n" + kCharset + "<title>" + title + "</title>\n" + kStyle +
           "<div align=\"right\">\n  <table width=\"100%\" border=\"0\" bgcolor=\"#999999\">\n"
           "    <tr>\n      <td>\n        <div align=\"right\"><font face=IMPACT size=3>"
           "<a href=\"" +
           std::string(ResultExport::kHomePageAddress) +
           "\">Vantorell 2001</a></font> </div>\n      </td>\n    </tr>\n  </table>\n"
           "</div><BR>\n";
}

ResultList twoResults() {
    ResultList list;
    // A percent sign in a text is written as it is; a line feed becomes CR LF.
    list.Add("Cats 50%% off", "http://a.example/cats?x=1", "Line one\nline two", "Alpha");
    list.Add("Dogs", "http://b.example/", "", "Beta");
    return list;
}

} // namespace

TEST(HtmlExport, SavedPageAndBrowsePagesWholeFiles) {
    const ResultList list = twoResults();
    const std::string blocks =
        block("http://a.example/cats?x=1", "@", "Cats 50%% off", "Alpha", "Line one\nline two") +
        block("http://b.example/", "@", "Dogs", "Beta", "");
    const auto withTail = [&](const std::string& tail) {
        std::string text = blocks;
        for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@')) {
            text.replace(at, 1, tail);
        }
        return text;
    };

    TempDir dir;
    ASSERT_TRUE(ResultExport::WriteHtmlPage(list, dir.file("page.htm")));
    EXPECT_EQ(readFileBytes(dir.file("page.htm")),
              TextMode::ToDisk(savedPageHead() + withTail(kPageTail) + "</body></html>"));

    const std::string frameset = dir.file("htmtemp.htm");
    ASSERT_TRUE(ResultExport::WriteBrowsePages(list, frameset));
    EXPECT_EQ(readFileBytes(frameset),
              TextMode::ToDisk("<html><head><title>\n</title></head><frameset rows=\"*,20%\">"
                               "<frame name=\"top\" target=\"_self\" src=\"" +
                               dir.file("htmtempt.htm") +
                               "\">\n<frame name=\"bottom\" target=\"top\" src=\"" +
                               dir.file("htmtempb.htm") + "\"></frameset></html>"));
    EXPECT_EQ(readFileBytes(dir.file("htmtempt.htm")),
              "<html><head><base target=\"_self\"></head><body></body></html>");
    EXPECT_EQ(readFileBytes(dir.file("htmtempb.htm")),
              TextMode::ToDisk("<html>\n<head>\n" + kCharset + "<base target=\"top\">\n" + kStyle +
                               withTail(kListTail) + "</body></html>"));

    EXPECT_EQ(ResultExport::BrowsePagePath("/a.b/list", 't'), "/a.b/listt");
    EXPECT_EQ(ResultExport::BrowsePagePath("x.y.htm", 'b'), "x.yb.htm");

    // An empty list: the head and the end only.
    EXPECT_EQ(ResultExport::HtmlPageBytes(ResultList()),
              TextMode::ToDisk(savedPageHead() + "</body></html>"));
    // The search's keyword titles the page, escaped; the character set stays where browsers
    // look for it even under the longest keyword.
    const std::string page =
        ResultExport::HtmlPageBytes(ResultList(), "caf\xc3\xa9 & <cr\xc3\xa8me>");
    EXPECT_EQ(page, TextMode::ToDisk(savedPageHead("caf\xc3\xa9 &amp; &lt;cr\xc3\xa8me&gt;") +
                                     "</body></html>"));
    const std::string declaration = "<meta charset=\"utf-8\">";
    EXPECT_LT(ResultExport::HtmlPageBytes(ResultList(), std::string(254, '<')).find(declaration),
              1024u - declaration.size());
}

TEST(HtmlExport, HostileTextsAreEscapedAndScriptAddressesAreNotLinked) {
    ResultList list;
    list.Add("<script>alert(1)</script> & \"more\"", "http://x.example/?a=1&b=\"2\"><b>",
             "</font></td></tr></table><img src=x onerror=alert(2)>", "<i>E</i>");
    list.Add("click", " \x01\x1f JaVa\tScRi\npt:alert(3)", "s", "E");
    list.Add("data", "DATA:text/html,<script>alert(4)</script>", "s", "E");
    list.Add("vb", "vbscript:msgbox(5)", "s", "E");
    const std::string expected =
        block("http://x.example/?a=1&amp;b=&quot;2&quot;&gt;&lt;b&gt;", kPageTail,
              "&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;more&quot;",
              "&lt;i&gt;E&lt;/i&gt;",
              "&lt;/font&gt;&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;img src=x "
              "onerror=alert(2)&gt;") +
        block("#", kPageTail, "click", "E", "s") + block("#", kPageTail, "data", "E", "s") +
        block("#", kPageTail, "vb", "E", "s");
    EXPECT_EQ(ResultExport::HtmlPageBytes(list),
              TextMode::ToDisk(savedPageHead() + expected + "</body></html>"));

    for (const char* harmless : {"http://javascript.example/", "javascripts:x", "java script:x",
                                 "/data:x", "mailto:data@example.com", ""}) {
        EXPECT_FALSE(HtmlText::RunsScript(harmless)) << harmless;
    }
    // The browse frameset escapes the folder's path too.
    EXPECT_NE(ResultExport::BrowseFramesetBytes("/tmp/a&b\"c/htmtemp.htm")
                  .find("src=\"/tmp/a&amp;b&quot;c/htmtempt.htm\">"),
              std::string::npos);
}

TEST(TextExport, FiveLinesPerResultWithoutEscaping) {
    TempDir dir;
    ResultList list = twoResults();
    list.Add("<b>&", "http://c.example/", "x", "Gamma");
    ASSERT_TRUE(ResultsDocument::SaveResults(list, dir.file("list.Txt")));
    EXPECT_EQ(readFileBytes(dir.file("list.Txt")),
              "Cats 50%% off\r\nhttp://a.example/cats?x=1\r\nLine one\r\nline two\r\nAlpha\r\n\r\n"
              "Dogs\r\nhttp://b.example/\r\n\r\nBeta\r\n\r\n"
              "<b>&\r\nhttp://c.example/\r\nx\r\nGamma\r\n\r\n");
    ASSERT_TRUE(ResultExport::WriteTextFile(ResultList(), dir.file("empty.txt")));
    EXPECT_EQ(readFileBytes(dir.file("empty.txt")), "");
}

TEST(HtmlExport, BrowseWritesIntoAPrivateFolderOfTheUser) {
    TempDir temporary;
    const ScopedEnvironment temporaryFolder("TMPDIR", temporary.path());
    struct Case {
        const char* name;
        // Sets up the runtime folder; returns the value of XDG_RUNTIME_DIR (nullopt: unset).
        std::function<std::optional<std::string>(const TempDir& runtime)> prepare;
        bool inRuntimeFolder;
    };
    const Case cases[] = {
        {"runtime folder", [](const TempDir& r) { return r.path(); }, true},
        {"existing private browse folder",
         [](const TempDir& r) {
             ::mkdir(r.file("Vantorell2001").c_str(), 0700);
             return r.path();
         },
         true},
        {"no runtime folder", [](const TempDir&) -> std::optional<std::string> { return {}; },
         false},
        {"relative runtime folder",
         [](const TempDir&) -> std::optional<std::string> { return "run/user"; }, false},
        {"runtime folder open to others",
         [](const TempDir& r) {
             ::chmod(r.path().c_str(), 0777);
             return r.path();
         },
         false},
        {"browse folder open to others",
         [](const TempDir& r) {
             ::mkdir(r.file("Vantorell2001").c_str(), 0755);
             ::chmod(r.file("Vantorell2001").c_str(), 0755);
             return r.path();
         },
         false},
        {"browse folder is a link",
         [](const TempDir& r) {
             ::mkdir(r.file("elsewhere").c_str(), 0700);
             ::symlink(r.file("elsewhere").c_str(), r.file("Vantorell2001").c_str());
             return r.path();
         },
         false},
    };
    const ResultList list = twoResults();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir runtime;
        ::chmod(runtime.path().c_str(), 0700);
        const ScopedEnvironment runtimeFolder("XDG_RUNTIME_DIR", c.prepare(runtime));
        RecordingDesktopOpen opener;
        EXPECT_TRUE(ResultsDocument::Browse(ResultList(), opener));
        EXPECT_TRUE(ResultsDocument::Browse(list, opener));
        ASSERT_EQ(opener.opened.size(), 2u);
        const std::string frameset = opener.opened[0];
        EXPECT_EQ(opener.opened[1], frameset) << "the second browse uses the same folder";
        const std::filesystem::path folder = std::filesystem::path(frameset).parent_path();
        EXPECT_EQ(std::filesystem::path(frameset).filename(), "htmtemp.htm");
        if (c.inRuntimeFolder) {
            EXPECT_EQ(folder, runtime.file("Vantorell2001"));
        } else {
            EXPECT_EQ(folder.parent_path(), temporary.path());
        }
        struct stat status {};
        ASSERT_EQ(::lstat(folder.c_str(), &status), 0);
        EXPECT_TRUE(S_ISDIR(status.st_mode));
        EXPECT_EQ(status.st_mode & 07777, 0700u);
        EXPECT_EQ(status.st_uid, ::geteuid());
        // The second browse replaced the list page of the first.
        EXPECT_EQ(readFileBytes((folder / "htmtempb.htm").string()),
                  ResultExport::BrowseListPageBytes(list));
        EXPECT_EQ(readFileBytes(frameset), ResultExport::BrowseFramesetBytes(frameset));
    }
}

TEST(HtmlExport, BrowseNeverFollowsALinkAtItsFixedNames) {
    TempDir temporary;
    const ScopedEnvironment temporaryFolder("TMPDIR", temporary.path());
    const ScopedEnvironment runtimeFolder("XDG_RUNTIME_DIR", std::nullopt);
    const std::string victim = temporary.file("victim");
    writeFileBytes(victim, "precious");
    // Links planted at the names the pages had in the shared temporary folder.
    for (const char* name : {"htmtemp.htm", "htmtempt.htm", "htmtempb.htm"}) {
        ASSERT_EQ(::symlink(victim.c_str(), temporary.file(name).c_str()), 0);
    }
    RecordingDesktopOpen opener;
    const ResultList list = twoResults();
    ASSERT_TRUE(ResultsDocument::Browse(list, opener));
    EXPECT_EQ(readFileBytes(victim), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink(temporary.file("htmtemp.htm")));

    // A link inside the browse folder is replaced by the page, not followed.
    const std::filesystem::path folder = std::filesystem::path(opener.opened[0]).parent_path();
    const std::string listPage = (folder / "htmtempb.htm").string();
    std::filesystem::remove(listPage);
    ASSERT_EQ(::symlink(victim.c_str(), listPage.c_str()), 0);
    ASSERT_TRUE(ResultsDocument::Browse(list, opener));
    EXPECT_EQ(readFileBytes(victim), "precious");
    EXPECT_FALSE(std::filesystem::is_symlink(listPage));
    EXPECT_EQ(readFileBytes(listPage), ResultExport::BrowseListPageBytes(list));
}
