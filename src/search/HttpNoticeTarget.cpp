#include "search/HttpNoticeTarget.h"

HttpNoticeTarget::~HttpNoticeTarget() = default;
