#include "support/RealPeers.h"

#include "support/LoopbackPort.h"
#include "support/TestFiles.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kStopLimit = std::chrono::seconds(5);
constexpr auto kPollInterval = std::chrono::milliseconds(20);

bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

} // namespace

RealPeer::RealPeer() : m_port(closedLoopbackPort()) {
}

RealPeer::~RealPeer() {
    Stop();
}

int RealPeer::Port() const {
    return m_port;
}

const std::string& RealPeer::Error() const {
    return m_error;
}

std::string RealPeer::ConfigFile() const {
    return m_dir.file("server.conf");
}

bool RealPeer::Launch(const std::vector<std::string>& programs, const std::string& config,
                      const std::vector<std::string>& arguments) {
    std::string program;
    for (const std::string& candidate : programs) {
        if (program.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            program = candidate;
        }
    }
    if (program.empty()) {
        m_error = programs.front() + " is not installed";
        return false;
    }
    std::string filled = config;
    for (const auto& [token, value] : {std::pair<std::string, std::string>{"$DIR$", m_dir.path()},
                                       {"$PORT$", std::to_string(m_port)}}) {
        for (std::size_t at = filled.find(token); at != std::string::npos;
             at = filled.find(token, at)) {
            filled.replace(at, token.size(), value);
        }
    }
    writeFileBytes(ConfigFile(), filled);
    std::vector<std::string> words = arguments;
    std::vector<char*> argv{program.data()};
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::setpgid(0, 0);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (accepts(m_port)) {
            return true;
        }
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_error = program + " ended before it listened on port " + std::to_string(m_port);
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    m_error = program + " did not listen on port " + std::to_string(m_port);
    Stop();
    return false;
}

void RealPeer::Stop() {
    if (m_pid <= 0) {
        return;
    }
    // The whole process group: nginx and tinyproxy start workers of their own.
    ::kill(-m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopLimit;
    int status = 0;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    m_pid = -1;
}

bool NginxOrigin::Start(const std::string& documentRoot) {
    const std::string config = R"(daemon off;
master_process off;
worker_processes 1;
pid $DIR$/nginx.pid;
error_log $DIR$/error.log;
events { worker_connections 256; }
http {
  access_log off;
  client_body_temp_path $DIR$;
  proxy_temp_path $DIR$;
  fastcgi_temp_path $DIR$;
  uwsgi_temp_path $DIR$;
  scgi_temp_path $DIR$;
  server {
    listen 127.0.0.1:$PORT$;
    root )" + documentRoot + R"(;
    location /moved { return 301 /index.html; }
  }
}
)";
    return Launch({"/usr/sbin/nginx", "/usr/bin/nginx"}, config,
                  {"-c", ConfigFile(), "-p", m_dir.path()});
}

bool TinyProxy::Start() {
    const std::string config = R"(Port $PORT$
Listen 127.0.0.1
Timeout 30
Allow 127.0.0.1
MaxClients 50
LogLevel Critical
LogFile "$DIR$/tinyproxy.log"
PidFile "$DIR$/tinyproxy.pid"
)";
    return Launch({"/usr/bin/tinyproxy", "/usr/sbin/tinyproxy"}, config,
                  {"-d", "-c", ConfigFile()});
}
