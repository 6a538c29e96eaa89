#include "search/SearchSessionView.h"

SearchSessionView::~SearchSessionView() = default;
