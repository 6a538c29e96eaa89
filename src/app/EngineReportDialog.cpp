#include "app/EngineReportDialog.h"

#include "app/EngineChoiceList.h"

#include "search/EngineAccount.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr int kWidth = 980;
constexpr int kHeight = 260;
constexpr std::array<const char*, 10> kHeaders = {
    "Engine",     "State", "Pages",   "Status line", "Bytes",
    "First byte", "Total", "Results", "Duplicates",  "Failure",
};

QString millisecondsText(long long ms) {
    return ms < 0 ? QStringLiteral("-") : QString::number(ms) + QStringLiteral(" ms");
}

QString fromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

EngineReportDialog::EngineReportDialog(const EngineAccount& account, QWidget* parent)
    : QDialog(parent), m_account(account), m_table(new QTableWidget(this)),
      m_empty(new QLabel(QStringLiteral("No search has run yet."), this)),
      m_choice(new EngineChoiceList(this)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    setAccessibleName(QString::fromLatin1(kTitle));
    setAccessibleDescription(QStringLiteral("What each search engine did in the last search"));
    setModal(false);
    resize(kWidth, kHeight);
    m_table->setColumnCount(static_cast<int>(kHeaders.size()));
    QStringList headers;
    for (const char* header : kHeaders) {
        headers << QString::fromLatin1(header);
    }
    m_table->setHorizontalHeaderLabels(headers);
    m_table->verticalHeader()->hide();
    m_table->setWordWrap(false);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setAccessibleName(QStringLiteral("Engines"));
    m_table->setAccessibleDescription(QStringLiteral("One row per search engine of the search"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_empty);
    layout->addWidget(m_table, 1);
    layout->addWidget(new QLabel(QStringLiteral("Engines of the next search:"), this));
    layout->addWidget(m_choice);
    connect(&m_timer, &QTimer::timeout, this, [this] { Refresh(); });
    m_timer.start(kRefreshMs);
    Refresh();
}

EngineChoiceList& EngineReportDialog::Choice() {
    return *m_choice;
}

void EngineReportDialog::Refresh() {
    const std::vector<EngineRecord>& records = m_account.Records();
    m_empty->setVisible(records.empty());
    const bool newRows = m_table->rowCount() != static_cast<int>(records.size());
    m_table->setRowCount(static_cast<int>(records.size()));
    for (std::size_t row = 0; row < records.size(); ++row) {
        const EngineRecord& r = records[row];
        const std::array<QString, kHeaders.size()> cells = {
            fromBytes(r.name),
            fromBytes(EngineAccount::StateText(r)),
            QString::number(r.pagesAnswered) + QStringLiteral(" of ") +
                QString::number(r.pagesRequested),
            fromBytes(r.statusLine),
            QString::number(r.bytes),
            millisecondsText(r.firstByteMs),
            millisecondsText(r.totalMs),
            QString::number(r.resultsAccepted) + QStringLiteral(" of ") +
                QString::number(r.resultsParsed),
            QString::number(r.duplicates),
            r.error.empty() ? QString()
                            : fromBytes(r.error) + QStringLiteral(" (page ") +
                                  QString::number(r.errorPage) + QStringLiteral(")"),
        };
        for (std::size_t column = 0; column < cells.size(); ++column) {
            QTableWidgetItem* item = m_table->item(static_cast<int>(row), static_cast<int>(column));
            if (item == nullptr) {
                item = new QTableWidgetItem;
                m_table->setItem(static_cast<int>(row), static_cast<int>(column), item);
            }
            if (item->text() != cells[column]) {
                item->setText(cells[column]);
            }
        }
    }
    if (newRows) {
        m_table->resizeColumnsToContents();
    }
}

QTableWidget& EngineReportDialog::Table() {
    return *m_table;
}
