#include "widgets/FlatHeaderListener.h"

FlatHeaderListener::~FlatHeaderListener() = default;

void FlatHeaderListener::OnHeaderItemClick(CFlatHeaderCtrl& /*header*/, int /*item*/) {
}

bool FlatHeaderListener::OnHeaderBeginDrag(CFlatHeaderCtrl& /*header*/, int /*item*/) {
    return false;
}

int FlatHeaderListener::OnHeaderEndDrag(CFlatHeaderCtrl& /*header*/, int /*item*/) {
    return 0;
}

void FlatHeaderListener::OnHeaderItemChanged(CFlatHeaderCtrl& /*header*/, int /*item*/) {
}

void FlatHeaderListener::OnHeaderDividerDoubleClick(CFlatHeaderCtrl& /*header*/, int /*item*/) {
}
