#include "app/EngineChoiceList.h"

#include "model/EngineCatalog.h"

namespace {

// Where an item keeps whether the engine's file switches it on.
constexpr int kEnabledRole = Qt::UserRole;

} // namespace

EngineChoiceList::EngineChoiceList(QWidget* parent) : QListWidget(parent) {
    setAccessibleName(QStringLiteral("Engines of the next search"));
    connect(this, &QListWidget::itemChanged, this, [this] { OnItemChanged(); });
}

void EngineChoiceList::Fill(const EngineCatalog& catalog) {
    m_filling = true;
    clear();
    for (int32_t index = 0; index < catalog.EngineCount(); ++index) {
        const EngineDefinition* engine = catalog.Engine(index);
        auto* item = new QListWidgetItem(QString::fromUtf8(engine->name.str()), this);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(engine->isEnabled() ? Qt::Checked : Qt::Unchecked);
        item->setData(kEnabledRole, engine->isEnabled());
    }
    m_filling = false;
    OnItemChanged();
}

void EngineChoiceList::SetOnChoice(std::function<void(std::vector<std::string>)> handler) {
    m_onChoice = std::move(handler);
}

void EngineChoiceList::OnItemChanged() {
    if (m_filling || !m_onChoice) {
        return;
    }
    std::vector<std::string> ticked;
    bool asFiles = true;
    for (int row = 0; row < count(); ++row) {
        const QListWidgetItem* engine = item(row);
        const bool checked = engine->checkState() == Qt::Checked;
        asFiles = asFiles && checked == engine->data(kEnabledRole).toBool();
        if (checked) {
            ticked.push_back(engine->text().toUtf8().toStdString());
        }
    }
    m_onChoice(asFiles ? std::vector<std::string>() : ticked);
}
