#include "ReportFixture.h"

#include "widgets/CFlatHeaderCtrl.h"
#include "widgets/ReportCellCodec.h"

#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ReportItem TextCell(int item, int subItem, std::optional<std::string> text) {
    ReportItem cell;
    cell.mask = kReportMaskText;
    cell.item = item;
    cell.subItem = subItem;
    cell.text = std::move(text);
    return cell;
}

ReportItem ReadCell(const CReportCtrl& control, int item, int subItem) {
    ReportItem cell;
    cell.mask = kReportMaskText;
    cell.item = item;
    cell.subItem = subItem;
    EXPECT_TRUE(control.GetItem(cell));
    return cell;
}

} // namespace

TEST(ReportModel, CellsKeepTextColourAndImageApartAndTextsWhole) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRow("title", "http://a.example/", "Engine");

    // No text and the empty text read differently.
    control.SetItem(TextCell(0, 1, std::nullopt));
    const ReportItem none = ReadCell(control, 0, 1);
    EXPECT_EQ(none.mask & kReportMaskText, 0U);
    EXPECT_FALSE(none.text.has_value());
    control.SetItem(TextCell(0, 1, ""));
    const ReportItem empty = ReadCell(control, 0, 1);
    EXPECT_NE(empty.mask & kReportMaskText, 0U);
    EXPECT_EQ(empty.text, "");

    // A "|" in a text stays in it and leaves the other cells as they were.
    control.SetItemText(0, 1, "left | right ||");
    EXPECT_EQ(control.GetItemText(0, 1), "left | right ||");
    EXPECT_EQ(control.GetItemText(0, 2), "http://a.example/");
    control.SetItemText(0, 2, "http://b.example/?q=a|b");
    EXPECT_EQ(control.GetItemText(0, 2), "http://b.example/?q=a|b");
    EXPECT_EQ(control.GetItemText(0, 3), "Engine");

    // Setting only the colour keeps the text; the image of another cell is untouched.
    ReportItem colour = TextCell(0, 3, std::nullopt);
    colour.mask = kReportMaskTextColor;
    colour.textColor = 2;
    control.SetItem(colour);
    const ReportItem engine = ReadCell(control, 0, 3);
    EXPECT_EQ(engine.text, "Engine");
    EXPECT_EQ(engine.textColor, 2);
    EXPECT_EQ(engine.image, -1);
    EXPECT_EQ(engine.mask & (kReportMaskImage | kReportMaskCheck), 0U);
    EXPECT_EQ(ReadCell(control, 0, 0).image, 0);

    // Texts are cut to 255 bytes when stored, and to the reader's buffer when read.
    control.SetItemText(0, 1, std::string(300, 'x'));
    EXPECT_EQ(control.GetItemText(0, 1).size(), 255U);
    char buffer[8];
    EXPECT_EQ(control.GetItemText(0, 3, buffer, sizeof(buffer)), 6);
    EXPECT_STREQ(buffer, "Engine");
    EXPECT_EQ(control.GetItemText(0, 1, buffer, sizeof(buffer)), 7);
    EXPECT_STREQ(buffer, "xxxxxxx");
    control.SetItemText(0, 1, std::nullopt);
    EXPECT_EQ(control.GetItemText(0, 1, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(control.GetItemText(5, 1, buffer, sizeof(buffer)), 0);
    EXPECT_EQ(control.GetItemText(0, 9), "");
    // A cut never splits a UTF-8 character.
    control.SetItemText(0, 1, std::string(254, 'y') + "\xC3\xA9");
    EXPECT_EQ(control.GetItemText(0, 1), std::string(254, 'y'));
}

TEST(ReportModel, CellWhoseTextLengthRunsPastTheEndIsNotRead) {
    // Each cell string is read as a view that stops before the rest of its buffer, so a
    // reader that looks past the view's end finds a "|" there and would accept the cell.
    const std::string buffer = "(1,-1,-1,3)abc|(2,-1,-1,3)abc|";
    struct Case {
        std::size_t viewLength;
        bool read;
    };
    const Case cases[] = {
        {15, true},  // the whole first cell
        {14, false}, // the text ends at the view's end, its "|" is outside
        {13, false}, // the declared length runs one byte past the end
        {12, false}, // nothing of the text is inside
    };
    for (const Case& c : cases) {
        ReportCellView cell;
        const std::string_view cells(buffer.data(), c.viewLength);
        EXPECT_EQ(ReportCellCodec::Read(cells, 0, cell), c.read) << c.viewLength;
        if (c.read) {
            EXPECT_EQ(cell.text, "abc");
            EXPECT_EQ(cell.image, 1);
        }
    }
    ReportCellView cell;
    EXPECT_FALSE(
        ReportCellCodec::Read(std::string_view(buffer.data(), buffer.size() - 1), 1, cell));
    EXPECT_FALSE(ReportCellCodec::Read("(-1,-1,-1,9)abc|", 0, cell));
    EXPECT_TRUE(ReportCellCodec::Read(buffer, 1, cell));
    EXPECT_EQ(cell.image, 2);
}

TEST(ReportModel, CellRewrittenInPlaceKeepsItsNeighboursEvenFromItsOwnText) {
    std::string cells = ReportCellCodec::EmptyCells(3);
    ASSERT_TRUE(ReportCellCodec::Write(cells, 1, 4, -1, 2, std::string_view("a|longer text")));
    ASSERT_TRUE(ReportCellCodec::Write(cells, 2, -1, -1, -1, std::string_view("tail")));
    ReportCellView middle;
    ASSERT_TRUE(ReportCellCodec::Read(cells, 1, middle));
    // The first cell takes the middle one's text, which lives in the string being rewritten.
    ASSERT_TRUE(ReportCellCodec::Write(cells, 0, 1, 0, 3, middle.text));
    ASSERT_TRUE(ReportCellCodec::Write(cells, 1, 4, -1, 2, std::nullopt));
    EXPECT_EQ(cells, "(1,0,3,13)a|longer text|(4,-1,2,-1)|(-1,-1,-1,4)tail|");
}

TEST(ReportModel, StateMaskCannotSelectOrFocusAndItemFieldsRoundTrip) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRow("a", "b", "c");
    ReportItem fields;
    fields.mask = kReportMaskState | kReportMaskBkColor | kReportMaskPreview | kReportMaskParam;
    fields.item = 0;
    fields.subItem = 1;
    fields.state = kReportStateBold | kReportStateSelected | kReportStateFocused;
    fields.bkColor = 2;
    fields.preview = 30;
    fields.param = 4711;
    EXPECT_TRUE(control.SetItem(fields));
    ReportItem read = ReadCell(control, 0, 1);
    EXPECT_EQ(read.state, kReportStateBold);
    EXPECT_EQ(read.bkColor, 2);
    EXPECT_EQ(read.preview, 30);
    EXPECT_EQ(read.param, 4711U);
    EXPECT_EQ(read.mask, kReportMaskText | kReportMaskTextColor | kReportMaskBkColor |
                             kReportMaskPreview | kReportMaskState | kReportMaskParam);
    EXPECT_EQ(control.GetRowFullHeight(0), control.GetRowHeight() + 30);

    control.SelectItem(0, false);
    fields.state = 0;
    control.SetItem(fields);
    EXPECT_EQ(ReadCell(control, 0, 1).state, kReportStateFocused | kReportStateSelected);

    ReportItem outside;
    outside.item = 1;
    EXPECT_FALSE(control.GetItem(outside));
    EXPECT_FALSE(control.SetItem(outside));
    outside.item = 0;
    outside.subItem = 4;
    EXPECT_FALSE(control.GetItem(outside));
}

TEST(ReportModel, DefinitionsShiftCellsAndShownColumnsAlong) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRow("title", "address", "engine");
    ReportSubItem extra;
    extra.text = "Extra";
    extra.width = -5;
    EXPECT_EQ(control.DefineSubItem(1, extra), 1);
    ReportSubItem stored;
    EXPECT_TRUE(control.GetSubItem(1, stored));
    EXPECT_EQ(stored.width, 200);
    EXPECT_EQ(control.GetItemText(0, 2), "title");
    EXPECT_FALSE(ReadCell(control, 0, 1).text.has_value());
    EXPECT_EQ(ShownSubItems(control), (std::vector<int>{0, 2, 3, 4}));
    EXPECT_FALSE(control.IsSubItemActive(1));

    // Beyond the end the list grows; every item has a cell for every definition.
    EXPECT_EQ(control.DefineSubItem(7, extra), 7);
    EXPECT_EQ(control.GetSubItemCount(), 8);
    control.SetItemText(0, 7, "last");
    EXPECT_EQ(control.GetItemText(0, 7), "last");
    EXPECT_EQ(control.GetItemText(0, 4), "engine");
    EXPECT_EQ(control.DefineSubItem(-1, extra), -1);
}

TEST(ReportModel, ActivationShowsColumnsWithinTheirLimitsAndSortTips) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    CFlatHeaderCtrl& header = control.GetHeaderCtrl();
    const int total = control.GetTotalWidth();
    EXPECT_EQ(control.ActivateSubItem(1, 0), -1) << "already shown";
    EXPECT_EQ(control.ActivateSubItem(9, 0), -1);

    const int width = header.GetItemRect(control.GetHeaderIndex(2)).width();
    EXPECT_EQ(control.DeactivateSubItem(2), 1);
    EXPECT_EQ(control.DeactivateSubItem(2), 0);
    EXPECT_EQ(control.GetTotalWidth(), total - width);
    EXPECT_EQ(ShownSubItems(control), (std::vector<int>{0, 1, 3}));

    ReportSubItem address;
    control.GetSubItem(2, address);
    ReportSubItem limited = address;
    limited.minWidth = 50;
    limited.maxWidth = 90;
    control.DefineSubItem(4, limited);
    const int index = control.ActivateSubItem(4, 1);
    EXPECT_GE(index, 0);
    EXPECT_EQ(ShownSubItems(control), (std::vector<int>{0, 4, 1, 3}));
    EXPECT_EQ(header.GetItemRect(index).width(), 90);
    ReportSubItem stored;
    control.GetSubItem(4, stored);
    EXPECT_EQ(stored.width, 90);
    EXPECT_EQ(control.GetTotalWidth(), total - width + 90);
    FlatHeaderItemEx extra;
    header.GetItemEx(index, extra);
    EXPECT_EQ(extra.tip, "Sort by: Address");
    EXPECT_EQ(extra.minWidth, 50);
    header.GetItemEx(control.GetHeaderIndex(0), extra);
    EXPECT_EQ(extra.tip, "") << "the State column does not sort";

    EXPECT_EQ(control.SetSubItemWidth(4, 500), 1);
    EXPECT_EQ(header.GetItemRect(index).width(), 90);
    EXPECT_EQ(control.SetSubItemWidth(4, 10), 1);
    EXPECT_EQ(header.GetItemRect(index).width(), 50);
    EXPECT_EQ(control.GetTotalWidth(), total - width + 50);
    EXPECT_EQ(control.SetSubItemWidth(2, -1), 0) << "not shown";
    control.GetSubItem(2, stored);
    EXPECT_EQ(stored.width, 200);
}

TEST(ReportModel, InsertingAndDeletingKeepRowsSelectionAndFocusInStep) {
    ReportFixture fixture;
    CReportCtrl& control = fixture.control;
    fixture.AddRows({"a", "b", "c", "d"});
    control.SelectItem(1, false);
    control.SelectItem(3, true);
    EXPECT_EQ(control.GetFocusRow(), 3);

    ReportItem inserted = TextCell(2, 1, "new");
    inserted.mask |= kReportMaskParam;
    inserted.param = 99;
    EXPECT_EQ(control.InsertItem(inserted), 2);
    EXPECT_EQ(control.GetItemText(2, 1), "new");
    EXPECT_EQ(control.GetItemText(4, 1), "d");
    EXPECT_EQ(control.GetSelectionList(), (std::vector<int>{1, 4}));
    EXPECT_EQ(control.GetFocusRow(), 4);
    EXPECT_EQ(control.GetRowFromItem(4), 4);
    inserted.item = 9;
    EXPECT_EQ(control.InsertItem(inserted), -2);

    fixture.listener.Clear();
    EXPECT_TRUE(control.DeleteItem(4));
    ASSERT_EQ(fixture.listener.notifies.size(), 1U);
    const ReportNotify& deleted = fixture.listener.notifies.front();
    EXPECT_EQ(deleted.header.code, kReportNotifyDeleteItem);
    EXPECT_EQ(deleted.header.controlId, 7);
    EXPECT_EQ(deleted.item, 4);
    EXPECT_EQ(deleted.param, 3U) << "\"d\" was the fixture's fourth row";
    EXPECT_EQ(control.GetSelectionList(), std::vector<int>{1});
    EXPECT_EQ(control.GetFocusRow(), 3) << "the focus stays within the rows";
    EXPECT_NE(control.GetItemState(3) & kReportStateFocused, 0U);
    EXPECT_FALSE(control.DeleteItem(-1));
    EXPECT_FALSE(control.DeleteItem(4));

    fixture.listener.Clear();
    EXPECT_TRUE(control.DeleteAllItems());
    const std::vector<ReportNotify> all = fixture.listener.WithCode(kReportNotifyDeleteItem);
    ASSERT_EQ(all.size(), 4U);
    for (int item = 0; item < 4; ++item) {
        EXPECT_EQ(all[static_cast<std::size_t>(item)].item, item);
    }
    EXPECT_EQ(all[2].param, 99U);
    EXPECT_EQ(control.GetItemCount(), 0);
    EXPECT_EQ(control.GetFocusRow(), -2);
    EXPECT_TRUE(control.GetSelectionList().empty());
    EXPECT_EQ(control.GetItemFromRow(0), -2);
    EXPECT_EQ(control.GetRowFromItem(-1), -1);
}

TEST(ReportModel, PaletteEntriesInsertOrGrow) {
    CReportCtrl control;
    EXPECT_EQ(control.InsertColor(2, Qt::red), 2);
    EXPECT_EQ(control.GetColor(0), QColor(Qt::black));
    EXPECT_EQ(control.InsertColor(0, Qt::blue), 0);
    EXPECT_EQ(control.GetColor(3), QColor(Qt::red));
    EXPECT_EQ(control.InsertColor(-1, Qt::red), -1);
    EXPECT_FALSE(control.GetColor(4).isValid());
}

TEST(ReportModel, HeaderEventsReachTheOwnerWithSubItems) {
    ReportFixture fixture(QSize(420, 300), kReportStyleHideDroppedColumn);
    CReportCtrl& control = fixture.control;
    CFlatHeaderCtrl& header = control.GetHeaderCtrl();
    fixture.AddRow("a rather long title of a result");
    const int total = control.GetTotalWidth();
    const auto drag = [&header](QPoint from, std::vector<QPoint> moves) {
        QTest::mousePress(&header, Qt::LeftButton, Qt::NoModifier, from);
        for (const QPoint& to : moves) {
            QTest::mouseMove(&header, to);
        }
        QTest::mouseRelease(&header, Qt::LeftButton, Qt::NoModifier, moves.back());
    };
    const auto titleWidth = [&control] {
        ReportSubItem definition;
        control.GetSubItem(1, definition);
        return definition.width;
    };

    // Dragging the Title divider: the definition, the total width and -2054 follow.
    const QPoint divider(header.GetItemRect(control.GetHeaderIndex(1)).right() + 1,
                         header.height() / 2);
    drag(divider, {divider + QPoint(30, 0)});
    EXPECT_EQ(titleWidth(), 150);
    EXPECT_EQ(control.GetTotalWidth(), total + 30);
    const std::vector<ReportNotify> changed = fixture.listener.WithCode(kReportNotifyColumnChanged);
    ASSERT_FALSE(changed.empty());
    EXPECT_EQ(changed.back().item, -1);
    EXPECT_EQ(changed.back().subItem, 1);

    // A divider double-click: -2060, then the widest cell unless the owner says no.
    const QPoint wider = divider + QPoint(30, 0);
    fixture.listener.columnAnswer = [](const ReportColumnNotify&) { return 1; };
    QTest::mouseDClick(&header, Qt::LeftButton, Qt::NoModifier, wider);
    EXPECT_EQ(titleWidth(), 150);
    fixture.listener.columnAnswer = nullptr;
    QTest::mouseDClick(&header, Qt::LeftButton, Qt::NoModifier, wider);
    ASSERT_EQ(fixture.listener.columnNotifies.size(), 2U);
    EXPECT_EQ(fixture.listener.columnNotifies[1].header.code, kReportNotifyDividerDoubleClick);
    EXPECT_EQ(fixture.listener.columnNotifies[1].subItem, 1);
    EXPECT_EQ(titleWidth(), 2 * kReportCellMargin + control.fontMetrics().horizontalAdvance(
                                                        "a rather long title of a result"));

    // Dropped out of the header with style 0x0100: the column goes.
    const QPoint engines = header.GetItemRect(control.GetHeaderIndex(3)).center();
    drag(engines, {engines + QPoint(10, 0), engines + QPoint(10, 120)});
    EXPECT_FALSE(control.IsSubItemActive(3));
    EXPECT_EQ(ShownSubItems(control), (std::vector<int>{0, 1, 2}));
}
