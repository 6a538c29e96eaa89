#include "search/SearchManagerListener.h"

SearchManagerListener::~SearchManagerListener() = default;
