// Measures the grammar interpreter on a page of several megabytes with thousands of results,
// against one plain byte-by-byte pass over the same buffer in the same run, and prints the
// ratio of the two times (the best of several rounds of each). The page arrives in pieces and
// the results of each are taken before the next, as in a search.

#include "extract/ResultExtractor.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int kResults = 4000;
constexpr int kRounds = 7;
constexpr std::size_t kPieceSize = 4095;
constexpr const char* kGrammar =
    "<div class=\"result\"><a href=\"$URL$\">$NAME$</a>$$<p class=\"snippet\">$MEMO$</p>$END$";

std::string makePage() {
    std::string page = "<html><head><title>results</title></head><body>\n";
    for (int i = 0; i < kResults; ++i) {
        const std::string n = std::to_string(i);
        page += "<div class=\"result\"><a href=\"/r/" + n + "/page.html\">Result number " + n +
                " &amp; its <b>title</b></a>\n<span class=\"url\">www.example.com/r/" + n +
                "</span>\n<div class=\"extra\"><a href=\"/more/" + n +
                "\">more like this</a> <a href=\"/cache/" + n + "\">cached</a></div>\n" +
                "<p class=\"snippet\">This is the summary of result " + n +
                ", a sentence or two of text with <b>bold</b> words, &quot;quotes&quot; and "
                "an ampersand &amp; some more words to make it as long as a real one is, "
                "around two hundred bytes of text in all.</p></div>\n<div class=\"spacer\">"
                "</div>\n<div class=\"tools\"><a href=\"/share/" + n +
                "\" class=\"share\" data-id=\"" + n +
                "\">Share</a> <a href=\"/report/" + n +
                "\" class=\"report\">Report</a> <span class=\"date\">2 days ago</span>"
                "</div>\n<script>track(\"result\", " + n +
                ", {position: 1, kind: 'web', source: 'index', layout: 'list'});</script>\n"
                "<div class=\"related\"><ul><li><a href=\"/q?related=a\">related one</a>"
                "</li><li><a href=\"/q?related=b\">related two</a></li><li><a "
                "href=\"/q?related=c\">related three</a></li></ul></div>\n<!-- separator "
                "between results, as engines put comments and white space here -->\n";
    }
    page += "</body></html>\n";
    return page;
}

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main() {
    const std::string page = makePage();

    double plainBest = 1e9;
    unsigned long long checksum = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        unsigned long long sum = 0;
        for (std::size_t i = 0; i < page.size(); ++i) {
            sum = sum * 31 + static_cast<unsigned char>(page[i]);
        }
        checksum += sum;
        plainBest = std::min(plainBest, seconds(std::chrono::steady_clock::now() - start));
    }

    double grammarBest = 1e9;
    int32_t found = 0;
    // The results of each piece go to a list that is emptied once they are taken, as the search
    // manager's list of pending results is, so its memory serves every piece.
    ResultList pending;
    for (int round = 0; round < kRounds; ++round) {
        found = 0;
        const auto start = std::chrono::steady_clock::now();
        ResultExtractor extractor;
        extractor.SetGrammar(kGrammar);
        extractor.SetEngineName("Bench");
        extractor.SetSiteRoot("http://www.example.com");
        for (std::size_t offset = 0; offset < page.size(); offset += kPieceSize) {
            const std::size_t size = std::min(kPieceSize, page.size() - offset);
            extractor.AppendInput(page.data() + offset, size);
            extractor.Feed(pending);
            found += pending.Count();
            pending.Clear();
        }
        grammarBest = std::min(grammarBest, seconds(std::chrono::steady_clock::now() - start));
    }

    std::printf("page: %zu bytes, %d results found (of %d), checksum %llx\n", page.size(), found,
                kResults, checksum & 0xff);
    std::printf("plain byte pass: %.3f ms\n", plainBest * 1000);
    std::printf("grammar interpreter: %.3f ms\n", grammarBest * 1000);
    std::printf("ratio interpreter/plain pass: %.2f (goal: at most 4)\n", grammarBest / plainBest);
    return found == kResults ? 0 : 1;
}
