#include "app/ResultsViewCommands.h"

#include "app/AppCommands.h"
#include "app/CMarovaneProView.h"
#include "app/FileDialogRunner.h"
#include "app/FindDialog.h"
#include "app/RefineDialog.h"
#include "platform/MessageSink.h"
#include "results/InternetShortcut.h"
#include "results/RefineCommands.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>

#include <algorithm>

namespace {

// The separator of a file dialog filter in the platform's notation: "name|pattern|...||".
constexpr char kFilterSeparator = '|';

// The names of a "name|pattern|name|pattern||" filter, which carry their patterns in
// brackets as Qt's dialogs want them.
QStringList DialogFilters(std::string_view filter) {
    QStringList names;
    bool isName = true;
    std::size_t begin = 0;
    while (begin < filter.size()) {
        const std::size_t end = std::min(filter.find(kFilterSeparator, begin), filter.size());
        if (end > begin && isName) {
            names << QString::fromLatin1(filter.substr(begin, end - begin));
        }
        isName = !isName;
        begin = end + 1;
    }
    return names;
}

QString FromBytes(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ResultsViewCommands::ResultsViewCommands(CMarovaneProView& view, ResultList& sessionResults,
                                         MessageSink& messages, FileDialogRunner& dialogs)
    : m_view(view), m_sessionResults(sessionResults), m_messages(messages), m_dialogs(dialogs),
      m_finder(messages) {
}

ResultsViewCommands::~ResultsViewCommands() {
    StopChecks();
}

bool ResultsViewCommands::OnCommand(int id) {
    switch (id) {
    case kCmdCopy:
        OnCopy();
        return true;
    case kCmdCopyAddress:
        OnCopyAddress();
        return true;
    case kCmdDelete:
        OnDelete();
        return true;
    case kCmdDeleteDuplicateTitles:
        OnDeleteDuplicates(UniqueResultList::KeyKind::ByTitle);
        return true;
    case kCmdDeleteDuplicateAddresses:
        OnDeleteDuplicates(UniqueResultList::KeyKind::ByAddress);
        return true;
    case kCmdValidate:
        OnValidate(false);
        return true;
    case kCmdValidateAll:
        OnValidate(true);
        return true;
    case kCmdDeleteInvalid:
        OnDeleteInvalid();
        return true;
    case kCmdRefine:
        OnRefine();
        return true;
    case kCmdFind:
        OnFind();
        return true;
    case kCmdFindNext:
        OnFindNext();
        return true;
    case kCmdSaveAddress:
        OnSaveAddress();
        return true;
    default:
        return false;
    }
}

void ResultsViewCommands::RowAdded(int item) {
    m_rowIds.insert(m_rowIds.begin() + item, m_nextRowId);
    ++m_nextRowId;
}

void ResultsViewCommands::RowsCleared() {
    m_rowIds.clear();
}

void ResultsViewCommands::StopChecks() {
    m_linkChecks.StopAll();
    m_linkChecks.SetTarget(nullptr);
}

const LinkCheckManager& ResultsViewCommands::LinkChecks() const {
    return m_linkChecks;
}

const ResultFinder& ResultsViewCommands::Finder() const {
    return m_finder;
}

FindDialog* ResultsViewCommands::LastFindDialog() const {
    return m_findDialog.data();
}

RefineDialog* ResultsViewCommands::LastRefineDialog() const {
    return m_refineDialog.data();
}

CReportCtrl& ResultsViewCommands::Control() const {
    return m_view.m_control;
}

ResultRows ResultsViewCommands::CurrentRows() const {
    ResultRows rows(m_sessionResults);
    const std::vector<int>& order = Control().GetRowOrder();
    // The control and the list hold the same number of items; should they ever differ, the
    // cores see only the items both have.
    if (static_cast<int32_t>(order.size()) == rows.Count()) {
        rows.order.assign(order.begin(), order.end());
    }
    for (const int item : Control().GetSelectionList()) {
        if (item >= 0 && item < rows.Count()) {
            rows.selected[static_cast<std::size_t>(item)] = true;
        }
    }
    return rows;
}

void ResultsViewCommands::RemoveRows(const std::vector<int32_t>& items) {
    for (const int32_t item : items) {
        RemoveRow(item);
    }
    Control().update();
    m_view.PostSelectionCount();
}

void ResultsViewCommands::RemoveRow(int item) {
    CReportCtrl& control = Control();
    control.SetItemState(control.GetRowFromItem(item), 0, kReportStateSelected);
    control.DeleteItem(item);
    // The own list follows the deletions, so it keeps holding the row's result at its item
    // index as the session list does.
    if (item < m_view.m_ownResults.Count()) {
        m_view.m_ownResults.Remove(item);
    }
    if (item >= 0 && static_cast<std::size_t>(item) < m_rowIds.size()) {
        m_rowIds.erase(m_rowIds.begin() + item);
    }
}

void ResultsViewCommands::OnDelete() {
    ResultRows rows = CurrentRows();
    RemoveRows(RefineCommands::DeleteSelected(rows));
}

void ResultsViewCommands::OnDeleteDuplicates(UniqueResultList::KeyKind key) {
    ResultRows rows = CurrentRows();
    RemoveRows(RefineCommands::DeleteDuplicates(rows, key, m_messages));
}

void ResultsViewCommands::OnValidate(bool all) {
    CReportCtrl& control = Control();
    m_linkChecks.SetTarget(this);
    const int count = control.GetItemCount();
    for (int item = 0; item < count; ++item) {
        const int row = control.GetRowFromItem(item);
        const bool selected = (control.GetItemState(row) & kReportStateSelected) != 0;
        if (!all && !selected) {
            continue;
        }
        m_linkChecks.Add(control.GetItemText(item, CMarovaneProView::kColumnAddress),
                         m_rowIds[static_cast<std::size_t>(item)]);
        if (all) {
            control.SetItemState(row, 0, kReportStateSelected);
        }
    }
    m_linkChecks.StartChecks();
    if (all) {
        control.update();
        m_view.PostSelectionCount();
    }
}

void ResultsViewCommands::OnRowState(int32_t rowId, LinkState state) {
    const auto found = std::find(m_rowIds.begin(), m_rowIds.end(), rowId);
    if (found == m_rowIds.end()) {
        // The row went while its address was being checked.
        return;
    }
    const int item = static_cast<int>(found - m_rowIds.begin());
    CReportCtrl& control = Control();
    ReportItem row;
    row.mask = kReportMaskImage;
    row.item = item;
    row.subItem = CMarovaneProView::kColumnState;
    row.image = static_cast<int32_t>(state);
    control.SetItem(row);
    control.SetItemState(control.GetRowFromItem(item), 0, kReportStateSelected);
    control.RedrawItem(item);
    m_view.PostSelectionCount();
}

void ResultsViewCommands::OnDeleteInvalid() {
    std::vector<int32_t> removed;
    LinkCheckManager::DeleteInvalid(
        Control().GetItemCount(),
        [this](int32_t item) { return static_cast<LinkState>(m_view.StateOf(item)); },
        [this, &removed](int32_t item) {
            m_sessionResults.Remove(item);
            removed.push_back(item);
        });
    RemoveRows(removed);
}

void ResultsViewCommands::OnFind() {
    auto* dialog = new FindDialog(&m_view);
    dialog->SetOnFind([this](const std::string& text, uint32_t flags) {
        ResultRows rows = CurrentRows();
        ShowFound(rows, m_finder.Find(rows, text, flags));
    });
    m_findDialog = dialog;
    ShowCentred(*dialog);
}

void ResultsViewCommands::OnRefine() {
    auto* dialog = new RefineDialog(&m_view);
    // The steps run as their own commands, each on the rows the one before left: addresses
    // before titles, and validation last, on what remains.
    dialog->SetOnRefine([this](const RefineCommands::RefineChoice& choice) {
        if (choice.deleteDuplicateAddresses) {
            m_view.OnCommand(kCmdDeleteDuplicateAddresses);
        }
        if (choice.deleteDuplicateTitles) {
            m_view.OnCommand(kCmdDeleteDuplicateTitles);
        }
        if (choice.validate) {
            m_view.OnCommand(kCmdValidateAll);
        }
    });
    m_refineDialog = dialog;
    ShowCentred(*dialog);
}

void ResultsViewCommands::ShowCentred(QDialog& dialog) {
    dialog.show();
    const QPoint centre = m_view.window()->geometry().center();
    dialog.move(centre - dialog.rect().center());
}

void ResultsViewCommands::OnFindNext() {
    ResultRows rows = CurrentRows();
    ShowFound(rows, m_finder.FindNext(rows));
}

void ResultsViewCommands::ShowFound(const ResultRows& rows, int32_t position) {
    const int32_t item = rows.ItemAt(position);
    if (item < 0) {
        return;
    }
    CReportCtrl& control = Control();
    control.EnsureVisible(item, true);
    control.SelectRange(position, position, kReportSelectApply);
    control.update();
    m_view.PostSelectionCount();
}

void ResultsViewCommands::OnSaveAddress() {
    const int item = Control().GetFirstSelectedItem();
    const SearchResult* result = m_sessionResults.Get(item);
    if (item < 0 || result == nullptr) {
        return;
    }
    QFileDialog dialog(&m_view);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt takes the default extension without its dot.
    dialog.setDefaultSuffix(QString::fromLatin1(InternetShortcut::kDefaultExtension.substr(1)));
    dialog.setNameFilters(DialogFilters(InternetShortcut::kFilter));
    dialog.selectFile(FromBytes(InternetShortcut::ProposeFileName(result->title.view())));
    const std::string path = m_dialogs.Run(dialog);
    if (path.empty()) {
        return;
    }
    InternetShortcut::Save(path, result->address.view(), m_messages);
}

void ResultsViewCommands::OnCopy() {
    SearchResult selected;
    if (!m_view.GetSelectedResult(selected)) {
        return;
    }
    QGuiApplication::clipboard()->setText(FromBytes(CMarovaneProView::CopyText(selected)));
}

void ResultsViewCommands::OnCopyAddress() {
    SearchResult selected;
    if (!m_view.GetSelectedResult(selected)) {
        return;
    }
    QGuiApplication::clipboard()->setText(FromBytes(selected.address.view()));
}
