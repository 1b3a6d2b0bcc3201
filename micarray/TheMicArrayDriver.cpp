#include "micarray/MicArrayDriver.h"
#include "platform/DesktopWindows.h"

#include <atomic>

std::uint32_t AeFiltersMessage() {
    // Registered once; asked again only while no display has answered yet.
    static std::atomic<std::uint32_t> message{0};
    if (message.load() == 0) message = platform::RegisterWindowMessage("AE_FILTERS");
    return message.load();
}

CMicArrayDriver& TheMicArrayDriver() {
    // The announcement's number is registered together with the driver's opening.
    static const std::uint32_t registered = AeFiltersMessage();
    (void)registered;
    static CMicArrayDriver driver(platform::MicArrayEndpoint::DefaultPath(), [] {
        platform::BroadcastRegisteredMessage(AeFiltersMessage(), 0, 0);
    });
    return driver;
}
