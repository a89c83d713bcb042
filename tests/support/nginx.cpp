#include "tests/support/nginx.h"

#include "platform/file.h"
#include "platform/path.h"

namespace testsupport {

TNginx::TNginx(const std::string& root, const TNginxOptions& options) {
    FTls = !options.CertFile.empty() && !options.KeyFile.empty();
    FPort = PickFreePort();
    platform::ForceDirectories(platform::JoinPath({FDir.Path(), "logs"}));
    // Inside the configuration every path is as nginx sees it.
    const std::string dir = ServerPath(FDir.Path());
    const std::string rootDir = ServerPath(root);
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
        rootDir + ";\n";
    if (FTls)
        conf += "    ssl_certificate " + ServerPath(options.CertFile) +
                ";\n    ssl_certificate_key " + ServerPath(options.KeyFile) + ";\n";
    conf += options.ExtraConfig + "  }\n}\n";
    platform::WriteFileBytes(FDir.File("nginx.conf"), conf);
    FOk = FProcess.Start("nginx", {"-p", dir, "-c", dir + "nginx.conf", "-g", "daemon off;"}, FPort,
                         FDir.File("output.log"), FDir.File("nginx.pid"), &FError);
    if (!FOk) {
        auto log = platform::ReadFileBytes(FDir.File("error.log"));
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
