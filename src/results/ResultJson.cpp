#include "results/ResultJson.h"

#include "platform/AtomicFile.h"
#include "results/ValidUtf8.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace {

QString text(std::string_view bytes) {
    const std::string valid = ValidUtf8::Repaired(bytes);
    return QString::fromUtf8(valid.data(), static_cast<qsizetype>(valid.size()));
}

} // namespace

std::string ResultJson::Bytes(const ResultList& list,
                              const std::vector<const RelevanceRanking::Page*>& pages) {
    QJsonArray rows;
    for (int32_t row = 0; row < list.Count(); ++row) {
        const SearchResult& result = *list.Get(row);
        const RelevanceRanking::Page* page = static_cast<std::size_t>(row) < pages.size()
                                                 ? pages[static_cast<std::size_t>(row)]
                                                 : nullptr;
        QJsonObject object;
        object["title"] = text(result.title.view());
        object["address"] = text(result.address.view());
        object["summary"] = text(result.summary.view());
        QJsonArray engines;
        for (const std::string& engine : RelevanceRanking::EnginesOf(result, page)) {
            engines.append(text(engine));
        }
        object["engines"] = engines;
        if (page != nullptr) {
            QJsonObject ranks;
            for (std::size_t i = 0; i < page->engines.size(); ++i) {
                ranks[text(page->engines[i])] = page->ranks[i];
            }
            object["ranks"] = ranks;
            object["score"] = page->score;
        }
        rows.append(object);
    }
    return QJsonDocument(rows).toJson(QJsonDocument::Indented).toStdString();
}

bool ResultJson::Write(const ResultList& list, const std::string& path,
                       const std::vector<const RelevanceRanking::Page*>& pages) {
    return AtomicFile::Write(path, Bytes(list, pages));
}
