#pragma once

// Receives the progress and failure notices of an HTTP exchange (codes 0 to 11), synchronously
// on the exchange's own thread.
class HttpNoticeTarget {
  public:
    virtual ~HttpNoticeTarget();
    virtual void OnHttpNotice(int code, int detail) = 0;
};
