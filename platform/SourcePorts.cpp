#include "platform/SourcePorts.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>

#include <atomic>
#include <chrono>

namespace platform {
namespace {

// A server that accepts the connection but never answers must not hold up the device listing.
constexpr std::chrono::milliseconds kServerTimeout{2000};

// One short-lived client connection, run on a private main loop with a deadline.
class PulseConnection {
public:
    PulseConnection() : deadline_(std::chrono::steady_clock::now() + kServerTimeout) {
        loop_ = pa_mainloop_new();
        if (!loop_) return;
        context_ = pa_context_new(pa_mainloop_get_api(loop_), "Murmelo");
        // Never start a server of our own: no server means no ports.
        if (!context_ || pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return;
        RunUntil([this] {
            pa_context_state_t s = pa_context_get_state(context_);
            return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
        });
    }
    ~PulseConnection() {
        if (context_) {
            pa_context_disconnect(context_);
            pa_context_unref(context_);
        }
        if (loop_) pa_mainloop_free(loop_);
    }
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    bool Ready() const { return context_ && pa_context_get_state(context_) == PA_CONTEXT_READY; }
    pa_context* Context() const { return context_; }

    // Runs the loop until the operation is done; cancels it (so its callback never runs) on timeout.
    bool Finish(pa_operation* op) {
        if (!op) return false;
        bool done = RunUntil([op] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; });
        if (!done) pa_operation_cancel(op);
        done = done && pa_operation_get_state(op) == PA_OPERATION_DONE;
        pa_operation_unref(op);
        return done;
    }

private:
    template <typename Pred>
    bool RunUntil(Pred done) {
        while (!done()) {
            auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline_ - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            if (pa_mainloop_prepare(loop_, static_cast<int>(left.count())) < 0) return false;
            if (pa_mainloop_poll(loop_) < 0) return false;
            if (pa_mainloop_dispatch(loop_) < 0) return false;
        }
        return true;
    }

    std::chrono::steady_clock::time_point deadline_;
    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
};

class PulseSourcePorts : public ISourcePorts {
public:
    SourcePortTable ListPorts() override {
        SourcePortTable table;
        PulseConnection c;
        if (!c.Ready()) return table;
        struct Listing {
            SourcePortTable* table;
            bool failed = false;
        } listing{&table};
        auto onSource = [](pa_context*, const pa_source_info* info, int eol, void* data) {
            auto* l = static_cast<Listing*>(data);
            if (eol < 0) l->failed = true;
            if (eol != 0 || !info || !info->name) return;
            auto& ports = (*l->table)[info->name];
            for (uint32_t i = 0; i < info->n_ports; ++i) {
                const pa_source_port_info* p = info->ports[i];
                if (!p || !p->name) continue;
                ports.push_back({p->name, p->description ? p->description : "", p->available != PA_PORT_AVAILABLE_NO});
            }
        };
        if (!c.Finish(pa_context_get_source_info_list(c.Context(), onSource, &listing)) || listing.failed) table.clear();
        return table;
    }

    bool SetActivePort(const std::string& source, const std::string& port) override {
        PulseConnection c;
        if (!c.Ready()) return false;
        int success = 0;
        auto onDone = [](pa_context*, int ok, void* data) { *static_cast<int*>(data) = ok; };
        return c.Finish(pa_context_set_source_port_by_name(c.Context(), source.c_str(), port.c_str(), onDone, &success)) &&
               success != 0;
    }
};

PulseSourcePorts g_pulse;
std::atomic<ISourcePorts*> g_override{nullptr};

}  // namespace

ISourcePorts& SourcePorts() {
    ISourcePorts* s = g_override.load();
    return s ? *s : g_pulse;
}

void SetSourcePorts(ISourcePorts* service) { g_override.store(service); }

std::string PortInputName(const SourcePort& port) { return port.description.empty() ? port.name : port.description; }

}  // namespace platform
