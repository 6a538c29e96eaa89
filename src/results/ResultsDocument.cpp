#include "results/ResultsDocument.h"

#include "platform/MessageSink.h"
#include "platform/PrivateFolder.h"
#include "platform/ShellOpen.h"
#include "results/ResultCsv.h"
#include "results/ResultExport.h"
#include "results/ResultJson.h"
#include "results/ResultsFile.h"

#include <QDir>
#include <QFile>

#include <strings.h>

namespace {

constexpr char kFolderSeparator = '/';
constexpr char kExtensionSeparator = '.';
constexpr std::string_view kCountStatusSuffix = " result(s)";

bool ExtensionIs(const std::string& extension, std::string_view wanted) {
    return extension.size() == wanted.size() &&
           ::strncasecmp(extension.c_str(), wanted.data(), wanted.size()) == 0;
}

} // namespace

ResultsDocument::SaveFormat ResultsDocument::FormatForPath(const std::string& path) {
    // The text after the last dot of the file name, as the file dialog reads it: "a.b.VNR"
    // gives "VNR", ".vnr" gives "vnr", "a" and "a." give nothing.
    const std::size_t nameBegin = path.rfind(kFolderSeparator);
    const std::size_t dot = path.rfind(kExtensionSeparator);
    std::string extension;
    const bool dotInName =
        dot != std::string::npos && (nameBegin == std::string::npos || dot > nameBegin);
    if (dotInName) {
        extension = path.substr(dot + 1);
    }
    if (ExtensionIs(extension, ResultsFile::kExtension)) {
        return SaveFormat::ResultsFile;
    }
    if (ExtensionIs(extension, kTextExtension)) {
        return SaveFormat::TextFile;
    }
    if (ExtensionIs(extension, kJsonExtension)) {
        return SaveFormat::JsonFile;
    }
    if (ExtensionIs(extension, kCsvExtension)) {
        return SaveFormat::CsvFile;
    }
    return SaveFormat::HtmlPage;
}

bool ResultsDocument::SaveResults(const ResultList& list, const std::string& path,
                                  std::string_view keyword,
                                  const std::vector<const RelevanceRanking::Page*>& pages) {
    switch (FormatForPath(path)) {
    case SaveFormat::ResultsFile:
        return ResultsFile::WriteResultsFile(list, path);
    case SaveFormat::TextFile:
        return ResultExport::WriteTextFile(list, path);
    case SaveFormat::HtmlPage:
        return ResultExport::WriteHtmlPage(list, path, keyword);
    case SaveFormat::JsonFile:
        return ResultJson::Write(list, path, pages);
    case SaveFormat::CsvFile:
        return ResultCsv::Write(list, path, pages);
    }
    return false;
}

int32_t ResultsDocument::OpenResults(ResultList& list, const std::string& path,
                                     MessageSink& messages) {
    list.Clear();
    const ResultsFile::Opened opened = ResultsFile::Open(list, path);
    if (opened.result == ResultsFile::ReadResult::Unreadable) {
        // The box's own text, and below it which file and why.
        std::string text(ResultsFile::kUnreadableMessage);
        text += '\n';
        text += ResultsFile::RefusalText(path, opened.refusal);
        messages.showMessage(MessageSink::kWarningCaption, text);
    }
    if (opened.endCut) {
        messages.showMessage(MessageSink::kInformationCaption, ResultsFile::CutNote(path));
    }
    return list.Count();
}

std::string ResultsDocument::CountStatusText(int32_t count) {
    return std::to_string(count) + std::string(kCountStatusSuffix);
}

std::string ResultsDocument::BrowsePath() {
    const std::string temporary = QFile::encodeName(QDir::tempPath()).toStdString();
    const std::string folder = PrivateFolder::Find(kBrowseFolderName, temporary);
    if (folder.empty()) {
        return {};
    }
    return folder + kFolderSeparator + std::string(kBrowseFileName);
}

bool ResultsDocument::Browse(const ResultList& list, ShellOpen& opener) {
    const std::string path = BrowsePath();
    if (path.empty() || !ResultExport::WriteBrowsePages(list, path)) {
        return false;
    }
    return opener.Open(path);
}
