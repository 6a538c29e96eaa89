#include "search/SearchSessionView.h"

SearchSessionView::~SearchSessionView() = default;

void SearchSessionView::SetNoticeText(std::string_view, std::string_view text) {
    SetStatusText(text);
}

void SearchSessionView::UpdateResultRow(int, const SearchResult&) {
}
