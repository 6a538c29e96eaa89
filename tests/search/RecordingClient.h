#pragma once

#include "search/HttpClient.h"
#include "search/HttpNoticeTarget.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Events = std::vector<std::string>;

inline constexpr std::chrono::milliseconds kEventWaitLimit{5000};
inline constexpr std::chrono::milliseconds kSlowNoticePause{100};

// An HTTP client that writes down every notice (through the base Notify and a notice target)
// and every hook, in order: "notice 11", "data", "error 1 Error: connect()", "complete".
class RecordingClient : public HttpClient, private HttpNoticeTarget {
  public:
    RecordingClient() {
        SetNoticeTarget(this);
    }

    Events Log() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }

    bool WaitForEvent(const std::string& event) const {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, kEventWaitLimit, [&] {
            return std::find(m_events.begin(), m_events.end(), event) != m_events.end();
        });
    }

    // Calls Cancel from inside the notice of this code, or inside the first OnData.
    int cancelOnNotice = -1;
    // Takes a while to handle the notice of this code, as a busy user-interface thread does.
    int slowNotice = -1;
    bool cancelOnData = false;

    // Filled on the exchange's thread; read after Execute has returned.
    std::string received;
    std::size_t largestPiece = 0;
    bool piecesTerminated = true;
    std::string completedResponse;

  protected:
    void OnData(const char* piece, std::size_t size) override {
        received.append(piece, size);
        largestPiece = std::max(largestPiece, size);
        piecesTerminated = piecesTerminated && piece[size] == '\0';
        Record("data");
        if (cancelOnData) {
            Cancel();
        }
    }
    void OnError() override {
        Record("error " + std::to_string(ErrorCode()) + " " + ErrorText());
        HttpClient::OnError();
    }
    void OnComplete() override {
        completedResponse = Response();
        Record("complete");
        HttpClient::OnComplete();
    }

  private:
    void OnHttpNotice(int code, int) override {
        Record("notice " + std::to_string(code));
        if (code == slowNotice) {
            std::this_thread::sleep_for(kSlowNoticePause);
        }
        if (code == cancelOnNotice) {
            Cancel();
        }
    }
    // A run of pieces is one "data" event.
    void Record(const std::string& event) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (event != "data" || m_events.empty() || m_events.back() != "data") {
            m_events.push_back(event);
        }
        m_changed.notify_all();
    }

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Events m_events;
};

// The lines of a GET or POST request between its request line and its Host line.
constexpr std::string_view kCommonLines = "Accept: image/gif, image/x-bitmap, image/jpeg, */*\r\n"
                                          "Accept-Language: en\r\nCache-Control: no-cache\r\n"
                                          "Proxy-Connection: Keep-Alive\r\n"
                                          "User-Agent: Vantorell 2001\r\n";

inline std::string getRequest(const std::string& target, const std::string& host) {
    return "GET " + target + " HTTP/1.0\r\n" + std::string(kCommonLines) + "Host: " + host +
           "\r\n\r\n";
}

inline const Events kCompleted = {"notice 11", "notice 9", "notice 10", "data", "complete"};

inline Events failedBeforeSocket(int code, const std::string& text) {
    return {"error " + std::to_string(code) + " " + text, "notice " + std::to_string(code)};
}

inline Events failedAfterSocket(int code, const std::string& text) {
    return {"notice 11", "error " + std::to_string(code) + " " + text,
            "notice " + std::to_string(code)};
}
