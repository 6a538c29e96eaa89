#pragma once

#include <string_view>

// How one step of an HTTP exchange ended: done, stopped by a cancel (the socket is to be closed
// and nothing reported), or failed with a code, a detail and a text that the exchange reports
// once its socket is closed. Also the numbering of those failure codes.
class HttpOutcome {
  public:
    static constexpr int kCodeRecieveNull = 0; // the server closed without sending anything
    static constexpr int kCodeSocketFailure = 1;
    static constexpr int kCodeUrlIsNothing = 2;
    static constexpr int kCodeUrlTooLong = 3;
    static constexpr int kCodeProxyNotSpecified = 5;
    static constexpr int kCodeProtoParse = 6;
    static constexpr int kCodeHost = 7;
    static constexpr int kCodePort = 8;
    // The detail of a failure that has no system error number.
    static constexpr int kNoDetail = 0;

    static HttpOutcome Done();
    static HttpOutcome Stopped();
    // text must outlive the outcome (the failure texts are constants).
    static HttpOutcome Failed(int code, int detail, std::string_view text);

    bool IsDone() const;
    bool IsStopped() const;
    bool IsFailed() const;
    // After Failed; 0, 0 and empty otherwise.
    int Code() const;
    int Detail() const;
    std::string_view Text() const;

  private:
    enum class Kind { Done, Stopped, Failed };

    HttpOutcome(Kind kind, int code, int detail, std::string_view text);

    Kind m_kind;
    int m_code;
    int m_detail;
    std::string_view m_text;
};
