#include "results/InternetShortcut.h"
#include "results/RefineCommands.h"
#include "results/ResultFinder.h"
#include "results/ResultRows.h"

#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

ResultList withTitles(const std::vector<std::string>& titles) {
    ResultList list;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        list.Add(titles[i], "http://example.com/" + std::to_string(i), "summary", "E");
    }
    return list;
}

std::vector<std::string> titlesOf(const ResultList& list) {
    std::vector<std::string> titles;
    for (int32_t i = 0; i < list.Count(); ++i) {
        titles.push_back(list.Get(i)->title.str());
    }
    return titles;
}

using Strings = std::vector<std::string>;
using Items = std::vector<int32_t>;

} // namespace

TEST(Refine, DuplicatesKeepTheLastAndRowsStayAligned) {
    ResultList list = withTitles({"A", "B", "A", "C", "A", "a"});
    ResultRows rows(list);
    // A sorted view shows the items in another order; item 4 is selected.
    rows.order = {5, 4, 3, 2, 1, 0};
    rows.selected[4] = true;
    RecordingMessageSink messages;
    EXPECT_EQ(RefineCommands::DeleteDuplicates(rows, UniqueResultList::KeyKind::ByTitle, messages),
              Items({2, 0}));
    EXPECT_EQ(titlesOf(list), Strings({"B", "C", "A", "a"}));
    EXPECT_EQ(rows.order, Items({3, 2, 1, 0}));
    EXPECT_EQ(rows.selected, std::vector<bool>({false, false, true, false}));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Information");
    EXPECT_EQ(messages.messages[0].text, "Deleted number of repeated Titles: 2");

    list.Get(0)->address.set("http://same/");
    list.Get(3)->address.set("http://same/");
    EXPECT_EQ(
        RefineCommands::DeleteDuplicates(rows, UniqueResultList::KeyKind::ByAddress, messages),
        Items({0}));
    EXPECT_EQ(messages.messages.back().text, "Deleted number of repeated Addresses: 1");
    EXPECT_EQ(titlesOf(list), Strings({"C", "A", "a"}));

    rows.selected = {true, false, true};
    EXPECT_EQ(RefineCommands::DeleteSelected(rows), Items({2, 0}));
    EXPECT_EQ(titlesOf(list), Strings({"A"}));
    EXPECT_EQ(rows.order, Items({0}));
    EXPECT_EQ(rows.FirstSelected(), ResultRows::kNone);

    // An item past the last one is neither selected nor removed, also in an empty view.
    ResultList none;
    ResultRows empty(none);
    empty.SelectOnly(0);
    empty.RemoveItem(0);
    EXPECT_EQ(empty.FirstSelected(), ResultRows::kNone);
}

TEST(Refine, DialogRunsAddressesThenTitlesThenValidation) {
    ResultList list = withTitles({"A", "B", "A"});
    list.Get(2)->address.set("http://example.com/1");
    ResultRows rows(list);
    RecordingMessageSink messages;
    int validations = 0;
    const auto validate = [&validations] { ++validations; };

    RefineCommands::RefineChoice onlyValidate;
    onlyValidate.deleteDuplicateTitles = false;
    onlyValidate.deleteDuplicateAddresses = false;
    EXPECT_TRUE(RefineCommands::Refine(rows, onlyValidate, messages, validate).empty());
    EXPECT_EQ(validations, 1);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_TRUE(messages.messages.empty());

    EXPECT_EQ(RefineCommands::Refine(rows, RefineCommands::RefineChoice(), messages, validate),
              Items({1, 0}));
    EXPECT_EQ(validations, 2);
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text, "Deleted number of repeated Addresses: 1");
    EXPECT_EQ(messages.messages[1].text, "Deleted number of repeated Titles: 1");
    EXPECT_EQ(titlesOf(list), Strings({"A"}));
}

TEST(Find, WalksDisplayOrderWithFlagsCaseAndMessages) {
    ResultList list = withTitles({"concatenate", "nothing", "CATALOGUE", "dog"});
    list.Get(3)->summary.set("the cat sat");
    ResultRows rows(list);
    rows.order = {3, 2, 1, 0};
    RecordingMessageSink messages;
    ResultFinder finder(messages);
    EXPECT_EQ(finder.Flags(), ResultFinder::kSearchSummaries);

    const uint32_t titles = ResultFinder::kSearchTitles;
    // Find starts at the first displayed row.
    EXPECT_EQ(finder.Find(rows, "DOG", titles), 0);
    EXPECT_EQ(finder.Find(rows, "CAT", titles), 1);
    EXPECT_EQ(rows.FirstSelected(), 2);
    EXPECT_EQ(finder.FindNext(rows), 3);
    EXPECT_EQ(rows.FirstSelected(), 0);
    EXPECT_EQ(rows.selected, std::vector<bool>({true, false, false, false}));
    EXPECT_TRUE(messages.messages.empty());
    // Past the last row: no match, the message, and the next search starts at the top.
    EXPECT_EQ(finder.FindNext(rows), ResultFinder::kNoMatch);
    EXPECT_EQ(finder.Position(), ResultFinder::kNoMatch);
    EXPECT_EQ(finder.FindNext(rows), 1);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "");
    EXPECT_EQ(messages.messages[0].text, "Complete searching for key words");

    EXPECT_EQ(finder.Find(rows, "CAT", titles | ResultFinder::kMatchCase), 1);
    EXPECT_EQ(finder.FindNext(rows), ResultFinder::kNoMatch) << "concatenate is lower case";
    EXPECT_EQ(finder.Find(rows, "CAT SAT", ResultFinder::kSearchSummaries), 0);
    EXPECT_EQ(finder.Find(rows, "example.com/2", ResultFinder::kSearchAddresses), 1);
    EXPECT_EQ(finder.Find(rows, "cat", 0), ResultFinder::kNoMatch) << "no field to search";

    messages.messages.clear();
    EXPECT_EQ(finder.Find(rows, "", titles), ResultFinder::kNoMatch);
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text, "Please input find string");
    EXPECT_EQ(messages.messages[1].text, "Complete searching for key words");

    finder.Find(rows, std::string(300, 'x'), titles);
    EXPECT_EQ(finder.Text().size(), 255u);

    // The cut to 255 bytes never leaves half a UTF-8 character behind to match nothing.
    list.Get(0)->summary.set(std::string(254, 'a') + "\xE2\x82\xAC");
    const std::string text = std::string(254, 'a') + "\xC3\xA9";
    EXPECT_EQ(finder.Find(rows, text, ResultFinder::kSearchSummaries), 3);
    EXPECT_EQ(finder.Text(), std::string(254, 'a'));
}

TEST(Shortcut, ProposedNameAndFileBytes) {
    EXPECT_EQ(InternetShortcut::ProposeFileName("a.b/c"), "a_b_c");
    EXPECT_EQ(InternetShortcut::ProposeFileName("\\/:*?\"<>!. ok|"), "__________ ok|");

    TempDir dir;
    RecordingMessageSink messages;
    ASSERT_TRUE(InternetShortcut::Save(dir.file("a_b_c.url"), "http://x.example/a?b=1", messages));
    EXPECT_EQ(readFileBytes(dir.file("a_b_c.url")),
              "[InternetShortcut]\r\nURL=http://x.example/a?b=1\r\n");

    EXPECT_FALSE(InternetShortcut::Save(dir.file("bad.url"), "http://x/\r\nIconFile=/x", messages));
    EXPECT_FALSE(InternetShortcut::Save(dir.file("none/x.url"), "http://x/", messages));
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].caption, "");
    EXPECT_EQ(messages.messages[0].text, "Save Address Error");
}
