// The HTTP client's URL parsing and its handling of whatever a server or proxy sends back. An
// input is either a URL with proxy settings, checked up to the moment a socket would connect,
// or an exchange with a peer on 127.0.0.1 that answers with the input's bytes, in the input's
// pieces, through a proxy or not.
#include "search/HttpClient.h"
#include "support/FixtureServer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxUrl = 300;
constexpr std::size_t kMaxHost = 80;
constexpr std::size_t kMaxPortText = 12;
constexpr std::size_t kMaxBody = 600;
constexpr std::size_t kMaxPath = 260;
constexpr std::size_t kMaxPieces = 8;
// Piece sizes from one byte to more than one receive of the client takes.
constexpr std::size_t kLargestPiece = 300000;
// Far above a loopback exchange, far below a hang.
constexpr int kTimeoutMs = 2000;
constexpr std::size_t kSmallLimit = 64;
constexpr uint32_t kMethods[] = {HttpClient::kMethodGet, HttpClient::kMethodPost,
                                 HttpClient::kMethodHead, 7};
// The origin of a proxied request: never looked up, only named to the proxy.
constexpr std::string_view kProxiedOrigin = "www.example.invalid";

enum class Mode {
    UrlOnly,  // parse the URL and proxy settings; stop before connecting
    Direct,   // exchange with the peer as the origin
    ViaProxy, // an http address through the peer as the proxy
    Tunnel,   // an https address through the peer as the proxy: CONNECT, then TLS
    Count
};

// Records what the client hands on, and can stop it before it connects.
class ProbeClient : public HttpClient {
  public:
    bool cancelBeforeConnect = false;
    std::string received;
    bool piecesBounded = true;
    std::string completed;
    bool completedCalled = false;
    std::vector<int> errors;

  protected:
    void Notify(int code, int detail) override {
        if (cancelBeforeConnect && code == kNoticeSocketCreated) {
            Cancel();
        }
        HttpClient::Notify(code, detail);
    }
    void OnData(const char* piece, std::size_t size) override {
        piecesBounded = piecesBounded && size > 0 && size <= kMaxPiece && piece[size] == '\0';
        received.append(piece, size);
    }
    void OnError() override {
        errors.push_back(ErrorCode());
        HttpClient::OnError();
    }
    void OnComplete() override {
        completedCalled = true;
        completed = Response();
        HttpClient::OnComplete();
    }
};

// The far end answers every connection with the reply armed for the current input; a
// connection of an earlier exchange served late finds its client gone, which costs nothing.
std::mutex armedMutex;
FixtureReply armed;

FixtureServer& peer() {
    static FixtureServer instance([](const std::string&) {
        std::lock_guard<std::mutex> lock(armedMutex);
        return armed;
    });
    return instance;
}

void arm(FixtureReply reply) {
    std::lock_guard<std::mutex> lock(armedMutex);
    armed = std::move(reply);
}

// The failures that come from the URL and proxy settings alone, before any socket.
bool isUrlFailure(int code) {
    return code == HttpClient::kCodeUrlIsNothing || code == HttpClient::kCodeUrlTooLong ||
           code == HttpClient::kCodeProxyNotSpecified || code == HttpClient::kCodeProtoParse ||
           code == HttpClient::kCodeHost || code == HttpClient::kCodePort;
}

void checkUrlOnly(FuzzedDataProvider& input, ProbeClient& client) {
    client.SetUrl(input.ConsumeRandomLengthString(kMaxUrl));
    const std::string proxyHost = input.ConsumeRandomLengthString(kMaxHost);
    const std::string proxyPort = input.ConsumeRandomLengthString(kMaxPortText);
    const bool useProxy = input.ConsumeBool();
    client.SetProxy(proxyHost, proxyPort, useProxy);
    client.cancelBeforeConnect = true;
    client.Execute();
    if (!client.errors.empty()) {
        // Only the URL's and the proxy's own failures come before a socket.
        if (!isUrlFailure(client.errors.front()) || client.errors.size() != 1) {
            std::abort();
        }
        return;
    }
    const std::string& target = client.RequestTarget();
    if (target.empty() || target.size() > HttpClient::kMaxTargetLength) {
        std::abort();
    }
    if (!useProxy && (target.front() != '/' || client.Port() < 0 ||
                      client.Port() > HttpClient::kMaxPortNumber)) {
        std::abort();
    }
}

void checkExchange(FuzzedDataProvider& input, ProbeClient& client, Mode mode) {
    // The client sends the path as it is given; a line end in it would start a header line of
    // its own (a Content-length, say) and make the peer wait for a body that never comes.
    std::string path = input.ConsumeRandomLengthString(kMaxPath);
    std::erase_if(path, [](char c) { return c == '\r' || c == '\n'; });
    const std::string port = std::to_string(peer().Port());
    if (mode == Mode::Direct) {
        client.SetUrl("http://127.0.0.1:" + port + "/" + path);
    } else {
        const std::string scheme = mode == Mode::Tunnel ? "https://" : "http://";
        client.SetUrl(scheme + std::string(kProxiedOrigin) + "/" + path);
        client.SetProxy("127.0.0.1", port, true);
    }
    std::size_t limit = HttpClient::kKeepWholeResponse;
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        limit = 0;
        break;
    case 1:
        limit = input.ConsumeIntegralInRange<std::size_t>(1, kSmallLimit);
        break;
    default:
        break;
    }
    client.SetResponseLimit(limit);
    const bool reset = input.ConsumeBool();
    std::vector<std::size_t> pieces;
    const std::size_t pieceCount = input.ConsumeIntegralInRange<std::size_t>(1, kMaxPieces);
    for (std::size_t i = 0; i < pieceCount; ++i) {
        pieces.push_back(input.ConsumeIntegralInRange<std::size_t>(1, kLargestPiece));
    }
    FixtureReply reply;
    reply.bytes = input.ConsumeRemainingBytesAsString();
    reply.pieces = pieces;
    if (reset) {
        reply.ending = FixtureReply::Ending::Reset;
        reply.resetAfter = reply.bytes.size();
    }
    const std::string answer = reply.bytes;
    arm(std::move(reply));
    client.Execute();

    if (!client.errors.empty() && isUrlFailure(client.errors.front())) {
        // A path too long for the request: refused before any socket, nothing received.
        if (client.ReceivedBytes() != 0 || client.errors.front() != HttpClient::kCodeUrlTooLong) {
            std::abort();
        }
        return;
    }
    if (!client.piecesBounded || client.received.size() != client.ReceivedBytes() ||
        answer.compare(0, client.received.size(), client.received) != 0) {
        std::abort();
    }
    if (mode == Mode::Tunnel) {
        // No peer here speaks TLS.
        if (client.Done() || client.errors.empty()) {
            std::abort();
        }
        return;
    }
    // Response() holds the answer's first bytes up to the limit when the exchange completes.
    const std::string kept = client.Done() ? client.received.substr(0, limit) : std::string();
    if (client.Done() != client.completedCalled || client.completed != kept) {
        std::abort();
    }
    if (reset) {
        return;
    }
    // A peer that closes gracefully: every byte arrives, and only an empty answer is an error.
    if (!client.Done() || client.received != answer) {
        std::abort();
    }
    const std::vector<int> expectedErrors =
        answer.empty() ? std::vector<int>{HttpClient::kCodeRecieveNull} : std::vector<int>{};
    if (client.errors != expectedErrors) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Nothing reads what the peer received: keeping it would grow with every input.
    peer().SetRecording(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto mode =
        static_cast<Mode>(input.ConsumeIntegralInRange<int>(0, static_cast<int>(Mode::Count) - 1));
    ProbeClient client;
    client.SetReceiveTimeout(kTimeoutMs);
    client.SetSendTimeout(kTimeoutMs);
    client.SetMethod(input.PickValueInArray(kMethods));
    client.SetBody(input.ConsumeRandomLengthString(kMaxBody));
    if (mode == Mode::UrlOnly) {
        checkUrlOnly(input, client);
    } else {
        checkExchange(input, client, mode);
    }
    return 0;
}
