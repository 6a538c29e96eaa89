#include "support/RealPeers.h"

#include "support/TestFiles.h"

bool NginxOrigin::Start(const std::string& documentRoot) {
    const std::string nginx = SpawnedServer::FindProgram({"/usr/sbin/nginx", "/usr/bin/nginx"});
    if (nginx.empty()) {
        return false;
    }
    m_port = SpawnedServer::FreePort();
    const std::string config =
        "daemon off;\n"
        "master_process off;\n"
        "worker_processes 1;\n"
        "pid " + m_dir.file("nginx.pid") + ";\n"
        "error_log " + m_dir.file("error.log") + ";\n"
        "events { worker_connections 256; }\n"
        "http {\n"
        "  access_log off;\n"
        "  client_body_temp_path " + m_dir.path() + ";\n"
        "  proxy_temp_path " + m_dir.path() + ";\n"
        "  fastcgi_temp_path " + m_dir.path() + ";\n"
        "  uwsgi_temp_path " + m_dir.path() + ";\n"
        "  scgi_temp_path " + m_dir.path() + ";\n"
        "  server {\n"
        "    listen 127.0.0.1:" + std::to_string(m_port) + ";\n"
        "    root " + documentRoot + ";\n"
        "    location /moved { return 301 /index.html; }\n"
        "  }\n"
        "}\n";
    writeFileBytes(m_dir.file("nginx.conf"), config);
    return m_server.Start(nginx, {"-c", m_dir.file("nginx.conf"), "-p", m_dir.path()}, m_port);
}

int NginxOrigin::Port() const {
    return m_port;
}

const std::string& NginxOrigin::Error() const {
    return m_server.Error();
}

bool TinyProxy::Start() {
    const std::string tinyproxy =
        SpawnedServer::FindProgram({"/usr/bin/tinyproxy", "/usr/sbin/tinyproxy"});
    if (tinyproxy.empty()) {
        return false;
    }
    m_port = SpawnedServer::FreePort();
    const std::string config = "Port " + std::to_string(m_port) + "\n" +
                               "Listen 127.0.0.1\n"
                               "Timeout 30\n"
                               "Allow 127.0.0.1\n"
                               "MaxClients 50\n"
                               "LogLevel Critical\n"
                               "LogFile \"" + m_dir.file("tinyproxy.log") + "\"\n"
                               "PidFile \"" + m_dir.file("tinyproxy.pid") + "\"\n";
    writeFileBytes(m_dir.file("tinyproxy.conf"), config);
    return m_server.Start(tinyproxy, {"-d", "-c", m_dir.file("tinyproxy.conf")}, m_port);
}

int TinyProxy::Port() const {
    return m_port;
}

const std::string& TinyProxy::Error() const {
    return m_server.Error();
}
