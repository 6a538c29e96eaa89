#include "search/HealthWriter.h"

HealthWriter::~HealthWriter() {
    Wait();
}

void HealthWriter::Start(std::string programFolder, std::string category, Searches searches,
                         EndedHandler onEnded) {
    Wait();
    const int number = ++m_started;
    m_update = std::async(std::launch::async, [number, folder = std::move(programFolder),
                                               category = std::move(category),
                                               searches = std::move(searches),
                                               onEnded = std::move(onEnded)] {
        EngineHealth health(folder);
        const EngineHealth::UpdateResult result = health.Update([&](EngineHealth& file) {
            for (const auto& [name, search] : searches) {
                file.Record(category, name, search);
            }
            return true;
        });
        if (onEnded) {
            onEnded(number);
        }
        return result;
    });
}

bool HealthWriter::Untaken(int update) const {
    return m_update.valid() && update == m_started;
}

std::optional<EngineHealth::UpdateResult> HealthWriter::Wait() {
    if (!m_update.valid()) {
        return std::nullopt;
    }
    return m_update.get();
}
