#pragma once
// What the X server holds for its clients, through the X-Resource extension: the number of
// clients and, per resource type (windows, pixmaps, graphics contexts, cursors, ...), the count
// over all clients; and the server's resident memory when ZYK_XVFB_PID names its process.
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace xtest {

struct ServerResources {
    int clients = 0;
    std::map<std::string, unsigned> byType;

    static ServerResources take(Display* display) {
        XSync(display, False);
        ServerResources r;
        XResClient* list = nullptr;
        if (!XResQueryClients(display, &r.clients, &list)) return r;
        for (int i = 0; i < r.clients; ++i) {
            int count = 0;
            XResType* types = nullptr;
            if (!XResQueryClientResources(display, list[i].resource_base, &count, &types)) continue;
            for (int t = 0; t < count; ++t) {
                char* name = XGetAtomName(display, types[t].resource_type);
                r.byType[name ? name : "?"] += types[t].count;
                if (name) XFree(name);
            }
            XFree(types);
        }
        XFree(list);
        return r;
    }

    bool operator==(const ServerResources& o) const { return clients == o.clients && byType == o.byType; }

    // "2 clients; WINDOW 14, GC 3, ..."
    std::string describe() const {
        std::ostringstream out;
        out << clients << " clients;";
        for (const auto& [type, count] : byType)
            out << " " << type << " " << count;
        return out.str();
    }

    // The server's resident memory in kB, or -1 when unknown.
    static long serverMemoryKb() {
        const char* pid = std::getenv("ZYK_XVFB_PID");
        if (!pid) return -1;
        std::ifstream status(std::string("/proc/") + pid + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
        return -1;
    }
};

} // namespace xtest
