#include "search/SearchSessionView.h"

SearchSessionView::~SearchSessionView() = default;

void SearchSessionView::UpdateResultRow(int, const SearchResult&) {
}
