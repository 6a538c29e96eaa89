#include "app/CPropEngine.h"

#include "app/CategoryPictures.h"
#include "app/FlatImageCombo.h"
#include "model/EngineCatalog.h"
#include "settings/EngineHealth.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kNameColumn = 0;
constexpr int kUrlColumn = 1;
constexpr int kHealthColumn = 2;
constexpr int kColumnCount = 3;
constexpr std::string_view kEnabledText = "TRUE";
constexpr const char* kEnabledValue = "true";
constexpr const char* kDisabledValue = "false";

QString FromBytes(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CPropEngine::CPropEngine(EngineCatalog& catalog, const FlatImageCombo& mainCombo,
                         std::string programFolder, QWidget* parent)
    : OptionsPage(parent), m_catalog(catalog), m_mainCombo(mainCombo),
      m_mainCategory(mainCombo.SelectedCategory()), m_combo(new FlatImageCombo),
      m_list(new QTreeWidget), m_programFolder(std::move(programFolder)) {
    auto* layout = new QVBoxLayout(this);
    auto* comboRow = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Categories"));
    label->setBuddy(m_combo);
    comboRow->addWidget(label);
    comboRow->addWidget(m_combo, 1);
    layout->addLayout(comboRow);
    m_list->setColumnCount(kColumnCount);
    m_list->setHeaderLabels(
        {QStringLiteral("Engine Name"), QStringLiteral("Engine URL"), QStringLiteral("Health")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setAllColumnsShowFocus(true);
    layout->addWidget(m_list, 1);

    connect(m_combo, &QComboBox::activated, this, [this] { FillList(); });
    connect(m_list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == kNameColumn && item->checkState(kNameColumn) == Qt::Checked) {
            m_ticked.insert({m_combo->SelectedCategory(), item->text(kNameColumn).toStdString()});
        }
    });
}

CPropEngine::~CPropEngine() {
    m_catalog.SelectCategory(m_mainCategory);
}

void CPropEngine::Load() {
    m_combo->SetIcons(CategoryPictures::Icons());
    for (int index = 0; index < m_mainCombo.count(); ++index) {
        m_combo->AddCategory(m_mainCombo.CategoryAt(index));
    }
    // The first category, whatever the main window shows.
    m_combo->setCurrentIndex(0);
    FillList();
}

bool CPropEngine::IsEnabled(std::string_view enable) {
    return std::equal(
        enable.begin(), enable.end(), kEnabledText.begin(), kEnabledText.end(),
        [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

void CPropEngine::FillList() {
    m_list->clear();
    m_catalog.SelectCategory(m_combo->SelectedCategory());
    for (int32_t index = 0; index < m_catalog.EngineCount(); ++index) {
        const EngineDefinition* engine = m_catalog.Engine(index);
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(kNameColumn, FromBytes(engine->name.view()));
        item->setText(kUrlColumn, FromBytes(engine->website.view()));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(kNameColumn,
                            IsEnabled(engine->enable.view()) ? Qt::Checked : Qt::Unchecked);
        item->setText(kHealthColumn,
                      QString::fromStdString(HealthText(m_programFolder, engine->category.view(),
                                                        engine->name.view())));
    }
    // Filling the list ticks boxes too; only the user's own ticks end a rest.
    m_ticked.clear();
    FitColumns();
}

void CPropEngine::FitColumns() {
    // Each column keeps its usual width, and widens to show its longest text whole in the
    // page's font; the list asks for the room of all three, so the sheet widens with it.
    const std::array<int, kColumnCount> usualWidths = {kNameColumnWidth, kUrlColumnWidth,
                                                       kHealthColumnWidth};
    int total = 0;
    for (int column = 0; column < kColumnCount; ++column) {
        m_list->resizeColumnToContents(column);
        const int width = std::max(usualWidths[column], m_list->columnWidth(column));
        m_list->setColumnWidth(column, width);
        total += width;
    }
    const int chrome = 2 * m_list->frameWidth() + m_list->verticalScrollBar()->sizeHint().width();
    m_list->setMinimumWidth(std::min(total + chrome, kWidestList));
}

std::string CPropEngine::HealthText(const std::string& programFolder, std::string_view category,
                                    std::string_view engine) {
    EngineHealth health(programFolder);
    health.Load();
    const EngineHealth::Summary summary = health.Summarise(category, engine, std::time(nullptr));
    if (summary.searches == 0 && summary.restUntil == 0) {
        return std::string();
    }
    std::string text = std::to_string(summary.successes) + " of " +
                       std::to_string(summary.searches) + " searches found results";
    if (summary.medianFirstResultMs >= 0) {
        text += ", first result in " + std::to_string(summary.medianFirstResultMs) + " ms";
    }
    if (summary.restUntil != 0) {
        const std::time_t until = static_cast<std::time_t>(summary.restUntil);
        std::tm local{};
        localtime_r(&until, &local);
        char rest[48];
        std::snprintf(rest, sizeof rest, "; resting until %02d:%02d (tick to end)", local.tm_hour,
                      local.tm_min);
        text += rest;
    }
    if (!summary.lastFailure.empty()) {
        text += "; last failure: " + summary.lastFailure;
    }
    return text;
}

bool CPropEngine::Save() {
    bool written = true;
    if (!m_ticked.empty()) {
        EngineHealth health(m_programFolder);
        health.Update([this](EngineHealth& file) {
            for (const auto& [category, name] : m_ticked) {
                file.EndRest(category, name);
            }
            return true;
        });
    }
    // The rows are the shown category's engines in catalogue order.
    m_catalog.SelectCategory(m_combo->SelectedCategory());
    const int32_t count = std::min<int32_t>(m_catalog.EngineCount(), m_list->topLevelItemCount());
    for (int32_t index = 0; index < count; ++index) {
        const EngineDefinition* engine = m_catalog.Engine(index);
        const bool checked = m_list->topLevelItem(index)->checkState(kNameColumn) == Qt::Checked;
        if (checked == IsEnabled(engine->enable.view())) {
            continue;
        }
        EngineDefinition changed = *engine;
        changed.enable.set(checked ? kEnabledValue : kDisabledValue);
        written = m_catalog.UpdateEngine(index, changed) && written;
    }
    return written;
}

FlatImageCombo& CPropEngine::CategoryCombo() {
    return *m_combo;
}

QTreeWidget& CPropEngine::EngineList() {
    return *m_list;
}
