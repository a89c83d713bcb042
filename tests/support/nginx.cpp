#include "tests/support/nginx.h"

#include "platform/file.h"
#include "platform/path.h"

namespace testsupport {

TNginx::TNginx(const std::string& root, const TNginxOptions& options) {
    FTls = !options.CertFile.empty() && !options.KeyFile.empty();
    FPort = PickFreePort();
    const std::string dir = FDir.Path();
    platform::ForceDirectories(platform::JoinPath({dir, "logs"}));
    std::string conf =
        "worker_processes 1;\n"
        "pid " +
        dir +
        "nginx.pid;\n"
        "error_log " +
        dir +
        "error.log;\n"
        "user root;\n"
        "events { worker_connections 256; }\n"
        "http {\n"
        "  access_log off;\n"
        "  client_body_temp_path " +
        dir +
        "body;\n"
        "  proxy_temp_path " +
        dir +
        "proxy;\n"
        "  fastcgi_temp_path " +
        dir +
        "fastcgi;\n"
        "  uwsgi_temp_path " +
        dir +
        "uwsgi;\n"
        "  scgi_temp_path " +
        dir +
        "scgi;\n"
        "  sendfile on;\n"
        "  keepalive_timeout 30;\n"
        "  default_type application/octet-stream;\n"
        "  types { text/html html; }\n"
        "  server {\n"
        "    listen 127.0.0.1:" +
        std::to_string(FPort) + (FTls ? " ssl" : "") +
        ";\n"
        "    server_name localhost;\n"
        "    root " +
        root + ";\n";
    if (FTls)
        conf += "    ssl_certificate " + options.CertFile + ";\n    ssl_certificate_key " +
                options.KeyFile + ";\n";
    conf += options.ExtraConfig + "  }\n}\n";
    const std::string confFile = dir + "nginx.conf";
    platform::WriteFileBytes(confFile, conf);
    FOk = FProcess.Start("nginx", {"-p", dir, "-c", confFile, "-g", "daemon off;"}, FPort,
                         dir + "output.log", &FError);
    if (!FOk) {
        auto log = platform::ReadFileBytes(dir + "error.log");
        if (log) FError += "\n" + *log;
    }
}

TNginx::~TNginx() {
    FProcess.Stop();
}

std::string TNginx::Url(const std::string& path, const std::string& host) const {
    return std::string(FTls ? "https://" : "http://") + host + ":" + std::to_string(FPort) + path;
}

}  // namespace testsupport
