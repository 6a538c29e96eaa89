#include "results/LinkCheckTarget.h"

LinkCheckTarget::~LinkCheckTarget() = default;

void LinkCheckTarget::OnAllChecked() {
}
