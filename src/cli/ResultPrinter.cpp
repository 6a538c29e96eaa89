#include "cli/ResultPrinter.h"

#include <string_view>

namespace {

void put(std::FILE* out, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), out);
}

} // namespace

ResultPrinter::ResultPrinter(std::FILE* out) : m_out(out) {
}

int ResultPrinter::PrintFrom(const ResultList& list, int32_t from) {
    int printed = 0;
    for (int32_t i = from; i < list.Count(); ++i) {
        const SearchResult* result = list.Get(i);
        put(m_out, result->title.view());
        put(m_out, "\t");
        put(m_out, result->address.view());
        put(m_out, "\t");
        put(m_out, result->summary.view());
        put(m_out, "\t");
        put(m_out, result->engine.view());
        put(m_out, "\n");
        ++printed;
    }
    return printed;
}

std::string ResultPrinter::Bytes(const ResultList& list) {
    std::string bytes;
    for (int32_t i = 0; i < list.Count(); ++i) {
        const SearchResult* result = list.Get(i);
        bytes += result->title.view();
        bytes += '\t';
        bytes += result->address.view();
        bytes += '\t';
        bytes += result->summary.view();
        bytes += '\t';
        bytes += result->engine.view();
        bytes += '\n';
    }
    return bytes;
}
