#include "micarray/MicArrayDriver.h"
#include "platform/DesktopWindows.h"

std::uint32_t AeFiltersMessage() {
    static const std::uint32_t message = platform::RegisterWindowMessage("AE_FILTERS");
    return message;
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
